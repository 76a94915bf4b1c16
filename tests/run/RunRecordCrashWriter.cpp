// Writes a run record that grows by one attempt per write through RunRecordFile, for ever, and
// prints the number of attempts after every write that completed: the crash test kills it at a
// random moment and checks the file against the last number printed.
#include "run/RunRecordFile.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER BASENAME\n", argv[0]);
        return 2;
    }
    zul::run::RunRecordFile file(argv[1], argv[2]);
    // Long attempts, so that a kill lands inside a write as often as between two.
    const std::string message(2048, 'm');
    std::string attempts;
    for (int n = 1;; ++n) {
        attempts += (n == 1 ? "\n    " : ",\n    ") + std::string("{\"n\": ") + std::to_string(n)
            + ", \"message\": \"" + message + "\"}";
        if (!file.write("{\n  \"attempts\": [" + attempts + "\n  ]\n}\n")) {
            std::fprintf(stderr, "%s\n", file.error().c_str());
            return 1;
        }
        std::printf("%d\n", n);
        std::fflush(stdout);
    }
}
