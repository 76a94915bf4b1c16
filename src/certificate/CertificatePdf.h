// The certificate as a PDF/A-1b document: A4, the certificate number and "Page x of y" at the
// head of every page, the content laid out by a text document so long tables break across pages.
#pragma once

#include "Certificate.h"

class QIODevice;

// The HTML the pages are laid out from.
QString certificateHtml(const Certificate &certificate);

// Writes the whole document to `device` (open for writing); false when the painter could not
// start on it.
bool writeCertificatePdf(const Certificate &certificate, QIODevice &device);
