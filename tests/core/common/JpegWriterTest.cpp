// JPEG writing of window snapshots: what a JPEG decoder reads back (size,
// colour, baseline coding, the quantisation of quality 90), refused
// pictures, and atomic replacement of the file.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "TestFiles.h"
#include "common/AtomicFile.h"
#include "common/JpegWriter.h"

using namespace oravent;

namespace {

struct Decoded {
    int Width = 0, Height = 0, Components = 0;
    bool Progressive = true;
    int LumaQuant0 = 0; // first entry of the luminance quantisation table
    std::vector<unsigned char> Rgb;
};

struct DecodeErr {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

void DecodeExit(j_common_ptr Info) {
    std::longjmp(reinterpret_cast<DecodeErr*>(Info->err)->Jump, 1);
}

// Decodes with libjpeg itself; false when the bytes are no JPEG.
bool Decode(const std::string& Bytes, Decoded& Out) {
    jpeg_decompress_struct Info;
    DecodeErr Err;
    Info.err = jpeg_std_error(&Err.Base);
    Err.Base.error_exit = DecodeExit;
    if (setjmp(Err.Jump)) {
        jpeg_destroy_decompress(&Info);
        return false;
    }
    jpeg_create_decompress(&Info);
    jpeg_mem_src(&Info, reinterpret_cast<const unsigned char*>(Bytes.data()), Bytes.size());
    jpeg_read_header(&Info, TRUE);
    Out.Progressive = Info.progressive_mode;
    Out.LumaQuant0 = Info.quant_tbl_ptrs[0] ? Info.quant_tbl_ptrs[0]->quantval[0] : 0;
    Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&Info);
    Out.Width = static_cast<int>(Info.output_width);
    Out.Height = static_cast<int>(Info.output_height);
    Out.Components = Info.output_components;
    Out.Rgb.resize(static_cast<std::size_t>(Out.Width) * Out.Height * 3);
    while (Info.output_scanline < Info.output_height) {
        JSAMPROW Row = Out.Rgb.data() + Info.output_scanline * Out.Width * 3;
        jpeg_read_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    return true;
}

// A smooth picture with a stride wider than its rows (padding bytes 0xEE
// must not show): red rises to the right, green downwards, blue constant.
// Wrapping at 256 keeps it smooth except for a few edges.
struct Picture {
    Picture(int W, int H, std::size_t Pad = 5) : Width(W), Height(H), Stride(3 * W + Pad) {
        Bytes.assign(Stride * H, 0xEE);
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                unsigned char* P = &Bytes[Y * Stride + X * 3];
                P[0] = static_cast<unsigned char>(X * 2);
                P[1] = static_cast<unsigned char>(Y * 3);
                P[2] = 96;
            }
    }
    std::string Encode() const { return EncodeJpeg(Width, Height, Bytes.data(), Stride); }
    int Width, Height;
    std::size_t Stride;
    std::vector<unsigned char> Bytes;
};

TEST(JpegWriter, DecodesToTheSamePictureAsBaselineAtQuality90) {
    for (const auto& [W, H] :
         {std::pair{301, 201}, std::pair{150, 100}, std::pair{1, 1}, std::pair{17, 3}}) {
        SCOPED_TRACE(std::to_string(W) + "x" + std::to_string(H));
        const Picture P(W, H);
        Decoded D;
        ASSERT_TRUE(Decode(P.Encode(), D));
        EXPECT_EQ(D.Width, W);
        EXPECT_EQ(D.Height, H);
        EXPECT_EQ(D.Components, 3);
        EXPECT_FALSE(D.Progressive);
        // Quality 90 scales the standard luminance table by 20 %: 16 -> 3.
        EXPECT_EQ(D.LumaQuant0, 3);
        long Error = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W * 3; ++X)
                Error += std::abs(int(D.Rgb[(Y * W * 3) + X]) - int(P.Bytes[Y * P.Stride + X]));
        EXPECT_LT(double(Error) / (W * H * 3), 4.0); // a smooth picture survives closely
    }
}

TEST(JpegWriter, QualityChangesTheQuantisation) {
    const Picture P(40, 30);
    Decoded D;
    ASSERT_TRUE(Decode(EncodeJpeg(P.Width, P.Height, P.Bytes.data(), P.Stride, 50), D));
    EXPECT_EQ(D.LumaQuant0, 16);
}

TEST(JpegWriter, RefusesPicturesItCannotEncode) {
    const Picture P(4, 4);
    struct Case {
        const char* Name;
        int W, H;
        std::size_t Stride;
        const unsigned char* Rgb;
        int Quality;
    } Cases[] = {
        {"no width", 0, 4, P.Stride, P.Bytes.data(), 90},
        {"negative height", 4, -1, P.Stride, P.Bytes.data(), 90},
        {"too wide", MaxJpegSide + 1, 1, 3 * (MaxJpegSide + 1), P.Bytes.data(), 90},
        {"rows shorter than the width", 4, 4, 11, P.Bytes.data(), 90},
        {"no pixels", 4, 4, P.Stride, nullptr, 90},
        {"quality 0", 4, 4, P.Stride, P.Bytes.data(), 0},
        {"quality 101", 4, 4, P.Stride, P.Bytes.data(), 101},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_THROW(EncodeJpeg(C.W, C.H, C.Rgb, C.Stride, C.Quality), EJpegError);
    }
}

TEST(JpegWriter, SecondWriteReplacesTheFileWholly) {
    test::TTempDir Dir;
    const std::string File = Dir / "Oravent.jpg";
    const Picture Big(120, 80), Small(10, 10);
    WriteJpegFile(File, Big.Width, Big.Height, Big.Bytes.data(), Big.Stride);
    WriteJpegFile(File, Small.Width, Small.Height, Small.Bytes.data(), Small.Stride);
    const auto Bytes = ReadWholeFile(File);
    ASSERT_TRUE(Bytes);
    EXPECT_EQ(*Bytes, Small.Encode());
    EXPECT_FALSE(test::HasTemporary(Dir.Path()));
}

TEST(JpegWriter, UnwritableFolderRaisesAndLeavesNothing) {
    test::TTempDir Dir;
    // A folder below a plain file cannot exist, not even for root.
    const std::string Plain = Dir / "plain";
    ASSERT_TRUE(AtomicWriteFile(Plain, "x"));
    const std::string File = Plain + "/Oravent.jpg";
    const Picture P(8, 8);
    try {
        WriteJpegFile(File, P.Width, P.Height, P.Bytes.data(), P.Stride);
        FAIL() << "no error";
    } catch (const EJpegError& E) {
        EXPECT_EQ(std::string(E.what()), "Unable to write to " + File);
    }
    EXPECT_EQ(ReadWholeFile(Plain), std::optional<std::string>("x"));
}

} // namespace
