#pragma once

#include <cstdint>
#include <string>

// An RGB colour as 0xRRGGBB.
using MovieColour = std::uint32_t;

// The bytes of an uncompressed one-frame Flash movie: a stage of `width` x `height` pixels
// in `background`, with a `box` rectangle from (left, top) to (right, bottom) in pixels.
std::string tinyMovie(int width, int height, MovieColour background, int left, int top, int right,
                      int bottom, MovieColour box);
