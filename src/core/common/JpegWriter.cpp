#include "common/JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "common/AtomicFile.h"

namespace oravent {

namespace {

// libjpeg reports errors through error_exit, which must not return: it
// jumps back into Encode, which then gives up. No C++ object with a
// destructor lives between the setjmp and the jump.
struct TErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr Info) {
    auto* Err = reinterpret_cast<TErrorManager*>(Info->err);
    (*Info->err->format_message)(Info, Err->Message);
    std::longjmp(Err->Jump, 1);
}

void Silent(j_common_ptr, int) {}

// Encodes into a buffer that libjpeg allocates with malloc; false with
// Message filled when libjpeg gave up.
bool Encode(int Width, int Height, const unsigned char* Rgb, std::size_t Stride, int Quality,
            unsigned char** Out, unsigned long* OutSize, char* Message) {
    jpeg_compress_struct Info;
    TErrorManager Err;
    Info.err = jpeg_std_error(&Err.Base);
    Err.Base.error_exit = ErrorExit;
    Err.Base.emit_message = Silent;
    Err.Message[0] = 0;
    if (setjmp(Err.Jump)) {
        jpeg_destroy_compress(&Info);
        std::snprintf(Message, JMSG_LENGTH_MAX, "%s", Err.Message);
        return false;
    }
    jpeg_create_compress(&Info);
    jpeg_mem_dest(&Info, Out, OutSize);
    Info.image_width = static_cast<JDIMENSION>(Width);
    Info.image_height = static_cast<JDIMENSION>(Height);
    Info.input_components = 3;
    Info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&Info);
    jpeg_set_quality(&Info, Quality, TRUE); // baseline quantisation tables
    jpeg_start_compress(&Info, TRUE);
    while (Info.next_scanline < Info.image_height) {
        JSAMPROW Row = const_cast<unsigned char*>(Rgb + Info.next_scanline * Stride);
        jpeg_write_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_compress(&Info);
    jpeg_destroy_compress(&Info);
    return true;
}

} // namespace

std::string EncodeJpeg(int Width, int Height, const unsigned char* Rgb, std::size_t Stride,
                       int Quality) {
    if (Width < 1 || Height < 1 || !Rgb) throw EJpegError("Empty picture");
    if (Width > MaxJpegSide || Height > MaxJpegSide) throw EJpegError("Picture too large for JPEG");
    if (Stride < 3 * static_cast<std::size_t>(Width)) throw EJpegError("Invalid picture rows");
    if (Quality < 1 || Quality > 100) throw EJpegError("Invalid JPEG quality");
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
    char Message[JMSG_LENGTH_MAX] = {};
    const bool Done = Encode(Width, Height, Rgb, Stride, Quality, &Buffer, &Size, Message);
    std::string Bytes;
    if (Done && Buffer) Bytes.assign(reinterpret_cast<const char*>(Buffer), Size);
    std::free(Buffer);
    if (!Done) throw EJpegError(std::string("JPEG error: ") + Message);
    return Bytes;
}

void WriteJpegFile(const std::string& FileName, int Width, int Height, const unsigned char* Rgb,
                   std::size_t Stride, int Quality) {
    const std::string Bytes = EncodeJpeg(Width, Height, Rgb, Stride, Quality);
    if (!AtomicWriteFile(FileName, Bytes)) throw EJpegError("Unable to write to " + FileName);
}

} // namespace oravent
