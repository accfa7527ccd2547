#include "printing/companylogo.h"

#include "platform/report/report.h"

#include <QImage>

namespace {

FirmenLogoLoader& loader() {
    static FirmenLogoLoader l;
    return l;
}

} // namespace

void SetFirmenLogoLoader(FirmenLogoLoader l) {
    loader() = std::move(l);
}

bool LoadInstalledFirmenLogo(QImage& picture) {
    return loader() && loader()(picture);
}

void ApplyFirmenLogo(report::Report& report, const QString& imageName) {
    report::Component& image = report.component(imageName);
    QImage picture;
    if (LoadInstalledFirmenLogo(picture)) {
        image.picture = picture;
        return;
    }
    image.enabled = false;
}
