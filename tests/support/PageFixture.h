#pragma once

#include "Fakes.h"
#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "page/PageSounds.h"
#include "page/PictureCache.h"
#include "platform/AppState.h"

#include <QTemporaryDir>

namespace tv::test {

// A program directory of its own, with pages/ and multimedia/ (holding a small red picture
// p.jpg), and the main window with its page loader on scripted services.
struct PageFixture {
    QTemporaryDir dir;
    AppState state;
    FakeServices fakes;
    PictureCache cache;
    PageSounds sounds{fakes.sounds};
    MainWindow window{state};
    PageLoader loader{state, window, fakes.services, cache, sounds};

    PageFixture();
    QString path(const QString &relative) const { return dir.filePath(relative); }
    // Writes pages/page_a.dat and shows it.
    void loadPageA(const QByteArray &bytes);
};

} // namespace tv::test
