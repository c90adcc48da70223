#pragma once
// Media files the button's loading and download tests read, made in a
// temporary folder: a 12 x 9 colour picture as BMP (also under a name in
// capitals) and 24-bit PNG, a 40 x 20 one-bit mask with a black square, a
// two-frame 8 x 6 GIF, a short WAVE sound, a three-frame 16 x 12 AVI and
// one that is no video, the packed form of each medium, and plain bytes
// under a packed name.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/CPackedBuffer.h"

#include "platform/testing/RiffWriter.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace lumvextest {

struct MediaTestFiles {
    MediaTestFiles()
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

        const MadeByTools& made = madeByTools();
        gifMade = made.gif && copied(made.path("two.gif"), "two.gif");
        aviMade = made.avi && copied(made.path("clip.avi"), "clip.avi");
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
        if (gifMade)
            pack("two.gif", "gif.qxz", CPackedBuffer::kFormatGif);
        std::filesystem::copy_file(root.Path() / "pic.bmp", root.Path() / "plain.qxz");
    }

    std::string path(const std::string& name) const { return (root.Path() / name).string(); }

    tv::testing::TempRoot root;
    bool gifMade = false;
    bool aviMade = false;

private:
    // The GIF and the AVI come from outside tools, which are slow to start:
    // they are made once per test run, in a folder of their own.
    struct MadeByTools {
        MadeByTools()
        {
            gif = folder.isValid() && run("convert-im6.q16", {"-size", "8x6", "-delay", "10", "xc:red", "xc:blue",
                                                              QString::fromStdString(path("two.gif"))});
            avi = folder.isValid() &&
                  run("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=16x12:rate=10", "-frames:v",
                                 "3", "-c:v", "msvideo1", QString::fromStdString(path("clip.avi"))});
        }
        std::filesystem::path path(const std::string& name) const
        {
            return std::filesystem::path(folder.path().toStdString()) / name;
        }
        QTemporaryDir folder;
        bool gif = false;
        bool avi = false;
    };
    static const MadeByTools& madeByTools()
    {
        static const MadeByTools made;
        return made;
    }
    bool copied(const std::filesystem::path& from, const std::string& name) const
    {
        std::error_code error;
        return std::filesystem::copy_file(from, root.Path() / name, error);
    }
    static bool run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    void pack(const std::string& from, const std::string& to, short format)
    {
        const std::string bytes = tv::testing::ReadRaw(root.Path() / from);
        CPackedBuffer packed;
        ASSERT_TRUE(packed.Pack(reinterpret_cast<const BYTE*>(bytes.data()), int(bytes.size()), format));
        ASSERT_TRUE(packed.Save(path(to).c_str()));
    }
};

} // namespace lumvextest
