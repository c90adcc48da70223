#pragma once
// What the start's first windows need from disk, made ready on worker
// threads while the main thread opens the database and builds the windows:
// the pictures they show, decoded, and the font database. A window takes its
// picture from here when one was read ahead for its file and reads the file
// itself otherwise, so nothing it shows depends on the read-ahead.

#include <QImage>
#include <QPixmap>

#include <memory>
#include <string>
#include <vector>

namespace Mod_tallyvane {

class ReadAhead {
public:
    // Starts reading the picture files, one after another in this order, and
    // filling the font database beside them. One read ahead at a time: the
    // start makes one.
    explicit ReadAhead(std::vector<std::string> pictureFiles);
    // Waits for the workers; pictures nobody took are dropped.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    struct State;

private:
    std::unique_ptr<State> state_;
};

// The picture in file, as QPixmap(file) reads it: the one read ahead for
// that file when a read-ahead holds one not yet taken (waiting for it),
// otherwise read now. A null picture when the file is missing or unreadable.
QPixmap StartPicture(const std::string& file);

} // namespace Mod_tallyvane
