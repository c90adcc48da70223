#include "program/shell/Mod_tallyvane_ReadAhead.h"

#include <QFontDatabase>
#include <QImageReader>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace Mod_tallyvane {

struct ReadAhead::State {
    struct Picture {
        std::string file;
        QImage image;
        bool read = false;
        bool taken = false;
    };
    std::mutex mutex;
    std::condition_variable readOne;
    std::vector<Picture> pictures;
    std::thread pictureWorker;
    std::thread fontWorker;

    // The picture read ahead for file, once it is read; false when none is
    // waiting to be taken.
    bool take(const std::string& file, QImage& image)
    {
        std::unique_lock lock(mutex);
        for (Picture& picture : pictures) {
            if (picture.taken || picture.file != file)
                continue;
            readOne.wait(lock, [&] { return picture.read; });
            picture.taken = true;
            image = std::move(picture.image);
            return true;
        }
        return false;
    }
};

namespace {

ReadAhead::State* g_current = nullptr;

} // namespace

ReadAhead::ReadAhead(std::vector<std::string> pictureFiles)
    : state_(std::make_unique<State>())
{
    for (std::string& file : pictureFiles)
        state_->pictures.push_back({std::move(file), {}, false, false});
    State* state = state_.get();
    // The same reader QPixmap's own load uses, so the pixels are the same.
    state_->pictureWorker = std::thread([state] {
        for (size_t i = 0;; ++i) {
            QString file;
            {
                const std::lock_guard lock(state->mutex);
                if (i == state->pictures.size())
                    return;
                file = QString::fromStdString(state->pictures[i].file);
            }
            QImage image = QImageReader(file).read();
            {
                const std::lock_guard lock(state->mutex);
                state->pictures[i].image = std::move(image);
                state->pictures[i].read = true;
            }
            state->readOne.notify_all();
        }
    });
    // The first text drawn would otherwise ask fontconfig for every font on
    // the main thread.
    try {
        state_->fontWorker = std::thread([] { QFontDatabase::families(); });
    } catch (...) {
        state_->pictureWorker.join();
        throw;
    }
    g_current = state;
}

ReadAhead::~ReadAhead()
{
    g_current = nullptr;
    state_->pictureWorker.join();
    if (state_->fontWorker.joinable())
        state_->fontWorker.join();
}

QPixmap StartPicture(const std::string& file)
{
    QImage image;
    if (g_current && g_current->take(file, image))
        return QPixmap::fromImage(std::move(image));
    return QPixmap(QString::fromStdString(file));
}

} // namespace Mod_tallyvane
