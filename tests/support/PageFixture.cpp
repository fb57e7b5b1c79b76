#include "PageFixture.h"

#include <QDir>
#include <QImage>

namespace tv::test {

PageFixture::PageFixture() {
    state.paths.programDirectory = dir.path();
    state.tpp = {15, 15};
    QDir(dir.path()).mkpath("pages");
    QDir(dir.path()).mkpath("multimedia");
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.save(path("multimedia/p.jpg"));
}

void PageFixture::loadPageA(const QByteArray &bytes) {
    writeBytes(path("pages/page_a.dat"), bytes);
    state.page.currentPage = "page_a.dat";
    loader.loadPage();
}

} // namespace tv::test
