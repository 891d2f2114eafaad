// JPEG encoding of a picture given as rows of 8-bit RGB pixels: a 24-bit
// baseline (sequential) JPEG, quality 90 unless told otherwise, made with
// libjpeg-turbo; and the atomic writing of the result (common/AtomicFile.h),
// so a failed write leaves the old file as it was.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace oravent {

// A picture that cannot be encoded (no pixels, larger than JPEG allows, a
// quality outside 1..100), or a file that cannot be written ("Unable to
// write to <file>").
class EJpegError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest width or height a JPEG can hold.
inline constexpr int MaxJpegSide = 65500;

// The JPEG bytes of a Width x Height picture. Row y starts at
// Rgb + y * Stride and holds Width pixels of three bytes (red, green, blue);
// Stride is at least 3 * Width. Raises EJpegError.
std::string EncodeJpeg(int Width, int Height, const unsigned char* Rgb, std::size_t Stride,
                       int Quality = 90);

// Encodes as EncodeJpeg and replaces FileName with the result atomically.
// Raises EJpegError; a file that cannot be written gives
// "Unable to write to <FileName>" and leaves any old file untouched.
void WriteJpegFile(const std::string& FileName, int Width, int Height, const unsigned char* Rgb,
                   std::size_t Stride, int Quality = 90);

} // namespace oravent
