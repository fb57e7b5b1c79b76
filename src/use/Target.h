#pragma once

namespace tv {

// What a person can choose on the window, by any way in (switch scanning, resting the
// pointer, the keyboard): a picture of the page, or a control of the message strip.
struct Target {
    enum class Kind { None, Picture, StripControl };
    Kind kind = Kind::None;
    // The picture's index (1 for the first), or the control's place in the strip (0 first).
    int number = 0;

    static constexpr Target picture(int index) { return {Kind::Picture, index}; }
    static constexpr Target control(int place) { return {Kind::StripControl, place}; }

    constexpr bool isPicture() const { return kind == Kind::Picture; }
    constexpr bool isControl() const { return kind == Kind::StripControl; }
    constexpr explicit operator bool() const { return kind != Kind::None; }
    constexpr bool operator==(const Target &) const = default;
};

} // namespace tv
