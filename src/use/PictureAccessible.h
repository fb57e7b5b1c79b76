#pragma once

#include <QString>

namespace tv {

// What an assistive technology (a screen reader, a desktop's switch control, through AT-SPI)
// hears a picture called: what it does. A phrase by its words, a link by its page, a media
// file by its file's name.
QString accessibleNameOf(const QString &action);

// Makes every picture of a page a button with that name, which the technology can press as
// a left press would.
void installPictureAccessibility();

} // namespace tv
