// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Names of what the program keeps among its built-in resources.
namespace LumivaneResources {

// The application style sheet; its first rule carries the palette colour at character offset 20.
inline constexpr char styleSheet[] = ":/qss/psblue.css";
// The link status lamp.
inline constexpr char lampOnImage[] = ":/image/led_on.png";
inline constexpr char lampOffImage[] = ":/image/led_off.png";
// Built-in copies of the compiled translations Lumivane_en.qm and Lumivane_zh.qm, used when
// neither the working directory nor the executable's directory holds them.
inline constexpr char translationsDirectory[] = ":/i18n";

// True when the resources are linked into the program (they always are for lumivane_resources users).
bool available();

} // namespace LumivaneResources
