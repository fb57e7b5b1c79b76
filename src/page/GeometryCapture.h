#pragma once

namespace tv {

struct AppState;
class MainWindow;

// Copies the place and size of the current picture into its record; nothing when that
// picture no longer exists. Values beyond 16 bits are held at the range's ends, never
// wrapped.
void affecteValeursTouche(AppState &state, const MainWindow &window);

} // namespace tv
