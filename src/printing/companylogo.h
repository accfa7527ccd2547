#pragma once

#include <QString>
#include <functional>

class QImage;

namespace report {
class Report;
}

// The company logo of the company record, read by the window library's
// LoadFirmenLogo, which installs itself here; true when there is a picture.
using FirmenLogoLoader = std::function<bool(QImage& picture)>;
void SetFirmenLogoLoader(FirmenLogoLoader loader);
// The logo through the installed loader; false without loader or logo.
bool LoadInstalledFirmenLogo(QImage& picture);

// Puts the logo into the report's image control; without a logo the control
// is switched off, so that an empty frame never prints.
void ApplyFirmenLogo(report::Report& report, const QString& imageName);
