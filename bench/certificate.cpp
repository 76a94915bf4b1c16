// Certificate benchmark: one AIN certificate with twelve filed tests (eight channels each) and a
// run record with a retest, built, laid out and written as PDF/A and its JSON twin into a
// temporary folder, as a save does. The figures are the median and worst of the rounds, and
// the size of the PDF and the twin; the targets are 200 ms and 60 KB. Exits 1 when the median
// or the size misses its target.
//
//   certificate [rounds]     10 unless given
#include "certificate/CertificateFiles.h"
#include "certificate/CertificateSupport.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    constexpr double TargetMs = 200;
    constexpr qint64 TargetBytes = 60000;

    const CertificateInput input { "AIN", 42, passedAinRow(), "472K-12 (AIN)", "bench", "1.0.0", {},
        "Calibrator K-7 s/n 4471, due 2027-03-01", ainRunRecord(), QDateTime::currentDateTimeUtc(),
        {} };
    QTemporaryDir folder;
    std::vector<double> times;
    CertificateFiles files;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        files = writeCertificateFiles(buildCertificate(input), folder.path());
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        if (!files.ok()) {
            std::fprintf(stderr, "certificate not written: %s\n", qPrintable(files.error));
            return 2;
        }
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const qint64 pdfBytes = QFileInfo(files.pdf).size();
    const qint64 jsonBytes = QFileInfo(files.json).size();
    std::printf("AIN certificate, 12 filed tests, %d rounds\n", rounds);
    std::printf(
        "  time  median %.1f ms, worst %.1f ms (target %.0f ms)\n", median, times.back(), TargetMs);
    std::printf("  size  PDF %lld bytes (target %lld), JSON twin %lld bytes\n",
        static_cast<long long>(pdfBytes), static_cast<long long>(TargetBytes),
        static_cast<long long>(jsonBytes));
    return median <= TargetMs && pdfBytes <= TargetBytes ? 0 : 1;
}
