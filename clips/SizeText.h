// Reading a row's Size text back: a renamed clip gets its Length column from the Size the
// row already shows, since the directory is not read again after a rename.
#pragma once

#include <cstdint>
#include <string>

// Thousands of bytes that a Size text ("1,764KB") stands for: its first character and the
// characters between it and the last one, without "," "K" "B", read as a decimal number.
// Any text is safe: no digits give 0, and figures beyond what a 32-bit size can show
// (4,294,967KB) are held at that figure.
std::uint32_t kilobytesOfSizeText(const std::string& sizeText);

// The Length text ("HH:MM:SS") of a clip whose row shows sizeText.
std::string lengthOfSizeText(const std::string& sizeText);
