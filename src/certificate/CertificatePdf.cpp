#include "CertificatePdf.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace {

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString cells(const QStringList &texts, const char *tag)
{
    QString html;
    for (const QString &text : texts)
        html += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), escaped(text));
    return html;
}

QString sectionHtml(const CertificateSection &section)
{
    QString html = QStringLiteral("<h3>%1</h3>").arg(escaped(section.title));
    if (!section.fields.isEmpty()) {
        html += QStringLiteral("<table cellspacing='0' cellpadding='2'>");
        for (const CertificateField &field : section.fields)
            html += QStringLiteral("<tr><td width='30%'><b>%1</b></td><td>%2</td></tr>")
                        .arg(escaped(field.label), escaped(field.value));
        html += QStringLiteral("</table>");
    }
    if (!section.table.columns.isEmpty()) {
        html += QStringLiteral("<table border='1' cellspacing='0' cellpadding='2' width='100%'>"
                               "<thead><tr>")
            + cells(section.table.columns, "th") + QStringLiteral("</tr></thead>");
        for (const QStringList &row : section.table.rows)
            html += QStringLiteral("<tr>") + cells(row, "td") + QStringLiteral("</tr>");
        html += QStringLiteral("</table>");
    }
    if (!section.note.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(escaped(section.note));
    return html;
}

} // namespace

QString certificateHtml(const Certificate &certificate)
{
    QString html = QStringLiteral("<h1>%1</h1><p><b>Certificate number:</b> %2</p>")
                       .arg(escaped(certificate.title), escaped(certificate.number));
    if (!certificate.replaces.isEmpty())
        html += QStringLiteral("<p><b>Replaces</b> %1</p>").arg(escaped(certificate.replaces));
    if (!certificate.runId.isEmpty())
        html += QStringLiteral("<p><b>Run</b> %1</p>").arg(escaped(certificate.runId));
    for (const CertificateSection &section : certificate.sections)
        html += sectionHtml(section);
    html += QStringLiteral("<p align='center'><b>%1</b></p>").arg(escaped(certificate.endLine));
    return html;
}

bool writeCertificatePdf(const Certificate &certificate, QIODevice &device)
{
    QPdfWriter writer(&device);
    writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(certificate.number);
    writer.setCreator(QStringLiteral("ZUL Module Configuration"));

    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(8.5);
    // Ligatures would turn "fi" into one glyph, and a search of the text for "Certificate"
    // would no longer find it.
    font.setStyleStrategy(QFont::PreferNoShaping);
    painter.setFont(font);
    const int headHeight = painter.fontMetrics().height() * 2;

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(font);
    document.setHtml(certificateHtml(certificate));
    const QSizeF body(page.width(), page.height() - headHeight);
    document.setPageSize(body);
    const int pages = document.pageCount();

    for (int n = 0; n < pages; ++n) {
        if (n > 0)
            writer.newPage();
        painter.save();
        painter.drawText(QRect(0, 0, page.width(), headHeight), Qt::AlignLeft | Qt::AlignTop,
            QStringLiteral("Certificate %1").arg(certificate.number));
        painter.drawText(QRect(0, 0, page.width(), headHeight), Qt::AlignRight | Qt::AlignTop,
            QStringLiteral("Page %1 of %2").arg(n + 1).arg(pages));
        painter.translate(0, headHeight - n * body.height());
        document.drawContents(&painter, QRectF(QPointF(0, n * body.height()), body));
        painter.restore();
    }
    return painter.end();
}
