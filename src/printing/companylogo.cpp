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

void ApplyFirmenLogo(report::Report& report, const QString& imageName) {
    report::Component& image = report.component(imageName);
    QImage picture;
    if (loader() && loader()(picture)) {
        image.picture = picture;
        return;
    }
    image.enabled = false;
}
