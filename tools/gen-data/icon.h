// icon.h - the demo's desktop icon, cut from the show's own fish picture ("fish.TGA").
//
// The fish and its water fill a square with rounded corners; outside the corners the icon
// is transparent. Every size is resampled from the full-size picture, so the small icons are
// as sharp as their pixels allow rather than shrunk from a shrunk copy.
#pragma once

#include <filesystem>
#include <span>

#include "image.h"

// The icon `size` pixels square, drawn from `fish` (the painted "fish.TGA", any size).
Image PaintIcon(const Image& fish, int size);

// Writes DIRECTORY/SIZE.png for every size; false if any cannot be written.
bool WriteIcons(const std::filesystem::path& directory, std::span<const int> sizes);
