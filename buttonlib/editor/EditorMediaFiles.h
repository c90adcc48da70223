#pragma once
// The media files the editor's tests browse to, made in a temporary folder
// by the test itself, without a program of its own (quick, even on a busy
// machine): a 12 x 9 colour picture as BMP (also under a name in capitals)
// and 24-bit PNG, a 40 x 20 one-bit mask with a black square, GIF
// animations of plain coloured frames, uncompressed AVI clips, an AVI that
// is no video, a short WAVE sound and the packed form of each medium.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/CPackedBuffer.h"

#include "platform/testing/RiffWriter.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace editortest {

// A GIF of plain frames of the given colours (0xRRGGBB), each shown for
// delay hundredths of a second.
inline std::string GifOfColours(int width, int height, int delay, const std::vector<std::uint32_t>& colours)
{
    std::string b = "GIF89a";
    auto le16 = [&b](unsigned v) {
        b.push_back(char(v & 0xFF));
        b.push_back(char((v >> 8) & 0xFF));
    };
    le16(unsigned(width));
    le16(unsigned(height));
    // A global table of 256 colours: the frames' colours first.
    b += {char(0xF7), 0, 0};
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t c = i < int(colours.size()) ? colours[std::size_t(i)] : 0;
        b += {char((c >> 16) & 0xFF), char((c >> 8) & 0xFF), char(c & 0xFF)};
    }
    b += "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
    b += std::string("\0\0\0", 3);
    for (std::size_t frame = 0; frame < colours.size(); ++frame) {
        b += {char(0x21), char(0xF9), char(4), char(0)};
        le16(unsigned(delay));
        b += {char(0), char(0)};
        b += char(0x2C);
        le16(0);
        le16(0);
        le16(unsigned(width));
        le16(unsigned(height));
        b += char(0);
        // Nine-bit codes: a clear code, one literal per pixel (far fewer
        // than would widen the codes), the end code.
        b += char(8);
        std::string data;
        std::uint32_t bits = 0;
        int count = 0;
        auto code = [&](unsigned c) {
            bits |= std::uint32_t(c) << count;
            count += 9;
            while (count >= 8) {
                data.push_back(char(bits & 0xFF));
                bits >>= 8;
                count -= 8;
            }
        };
        code(256);
        for (int i = 0; i < width * height; ++i)
            code(unsigned(frame));
        code(257);
        if (count > 0)
            data.push_back(char(bits & 0xFF));
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - at);
            b += char(n);
            b += data.substr(at, n);
        }
        b += char(0);
    }
    b += char(0x3B);
    return b;
}

// An uncompressed AVI (24-bit frames, bottom-up) of plain frames of the
// given colours, at rate frames a second.
inline std::string AviOfColours(int width, int height, std::uint32_t rate, const std::vector<std::uint32_t>& colours)
{
    using tv::testing::AppendChunk;
    using tv::testing::AppendLe16;
    using tv::testing::AppendLe32;
    using tv::testing::ByteVector;
    const std::uint32_t stride = std::uint32_t((width * 3 + 3) & ~3);
    const std::uint32_t frameSize = stride * std::uint32_t(height);
    const std::uint32_t frames = std::uint32_t(colours.size());
    auto list = [](const std::string& type, const ByteVector& chunks) {
        ByteVector data(type.begin(), type.end());
        data.insert(data.end(), chunks.begin(), chunks.end());
        return data;
    };

    ByteVector avih;
    for (std::uint32_t v : {1000000u / std::max<std::uint32_t>(rate, 1), frameSize * rate, 0u, 0x10u, frames, 0u, 1u,
                            frameSize, std::uint32_t(width), std::uint32_t(height), 0u, 0u, 0u, 0u})
        AppendLe32(avih, v);
    ByteVector strh = {'v', 'i', 'd', 's', 'D', 'I', 'B', ' '};
    for (std::uint32_t v : {0u, 0u, 0u, 1u, rate, 0u, frames, frameSize, 0xFFFFFFFFu, 0u})
        AppendLe32(strh, v);
    for (unsigned v : {0u, 0u, unsigned(width), unsigned(height)})
        AppendLe16(strh, v);
    ByteVector strf;
    AppendLe32(strf, 40);
    AppendLe32(strf, std::uint32_t(width));
    AppendLe32(strf, std::uint32_t(height));
    AppendLe16(strf, 1);
    AppendLe16(strf, 24);
    for (std::uint32_t v : {0u, frameSize, 0u, 0u, 0u, 0u})
        AppendLe32(strf, v);
    ByteVector strl;
    AppendChunk(strl, "strh", strh);
    AppendChunk(strl, "strf", strf);
    ByteVector hdrl;
    AppendChunk(hdrl, "avih", avih);
    AppendChunk(hdrl, "LIST", list("strl", strl));

    ByteVector movi;
    ByteVector idx1;
    for (std::uint32_t c : colours) {
        ByteVector pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                pixels.insert(pixels.end(), {std::uint8_t(c & 0xFF), std::uint8_t((c >> 8) & 0xFF),
                                             std::uint8_t((c >> 16) & 0xFF)});
            pixels.resize(std::size_t(y + 1) * stride, 0);
        }
        idx1.insert(idx1.end(), {'0', '0', 'd', 'b'});
        AppendLe32(idx1, 0x10);
        AppendLe32(idx1, std::uint32_t(4 + movi.size()));
        AppendLe32(idx1, frameSize);
        AppendChunk(movi, "00db", pixels);
    }
    ByteVector chunks;
    AppendChunk(chunks, "LIST", list("hdrl", hdrl));
    AppendChunk(chunks, "LIST", list("movi", movi));
    AppendChunk(chunks, "idx1", idx1);
    const ByteVector file = tv::testing::MakeRiff("AVI ", chunks);
    return std::string(file.begin(), file.end());
}

struct EditorMediaFiles {
    EditorMediaFiles()
    {
        CDIB picture;
        picture.CreateBlank(12, 9, 24, RGB(30, 140, 30));
        picture.Save(path("pic.bmp").c_str());
        picture.Save(path("PICTURE.BMP").c_str());
        picture.SavePNG(path("pic.png").c_str());

        CDIB mask;
        mask.CreateBlank(40, 20, 1, RGB(255, 255, 255));
        mask.Fill(5, 5, 10, 10, BLACKNESS);
        mask.Save(path("mask.bmp").c_str());

        tv::testing::WriteRaw(root.Path() / "two.gif", GifOfColours(8, 6, 10, {0xFF0000, 0x0000FF}));
        tv::testing::WriteRaw(root.Path() / "clip.avi",
                              AviOfColours(16, 12, 10, {0xFF0000, 0x00FF00, 0x0000FF}));
        tv::testing::WriteRaw(root.Path() / "junk.avi", "RIFF this is no video at all");

        tv::testing::ByteVector fmt, data(64, 0x80), chunks;
        for (unsigned v : {1u, 1u})
            tv::testing::AppendLe16(fmt, v);
        tv::testing::AppendLe32(fmt, 8000);
        tv::testing::AppendLe32(fmt, 8000);
        tv::testing::AppendLe16(fmt, 1);
        tv::testing::AppendLe16(fmt, 8);
        tv::testing::AppendChunk(chunks, "fmt ", fmt);
        tv::testing::AppendChunk(chunks, "data", data);
        const auto riff = tv::testing::MakeRiff("WAVE", chunks);
        tv::testing::WriteRaw(root.Path() / "tone.wav", std::string(riff.begin(), riff.end()));

        pack("pic.bmp", "bmp.qxz", CPackedBuffer::kFormatBmp);
        pack("pic.png", "png.qxz", CPackedBuffer::kFormatImage);
        pack("tone.wav", "wav.qxz", CPackedBuffer::kFormatWav);
        pack("two.gif", "gif.qxz", CPackedBuffer::kFormatGif);
        std::filesystem::copy_file(root.Path() / "pic.bmp", root.Path() / "plain.qxz");
    }

    std::string path(const std::string& name) const { return (root.Path() / name).string(); }

    tv::testing::TempRoot root;

private:
    void pack(const std::string& from, const std::string& to, short format)
    {
        const std::string bytes = tv::testing::ReadRaw(root.Path() / from);
        CPackedBuffer packed;
        ASSERT_TRUE(packed.Pack(reinterpret_cast<const BYTE*>(bytes.data()), int(bytes.size()), format));
        ASSERT_TRUE(packed.Save(path(to).c_str()));
    }
};

} // namespace editortest
