#pragma once
class QSaveFile;

// Puts a save file whose bytes were already made durable (and checked) in place of its
// target, without the second sync that QSaveFile::commit() always does. On a disk that
// writes many small files that sync is a cache flush per file with nothing left to flush.
namespace SavedCommit {

enum class Result {
    Done,       // the file is in place; the save file is closed and owns nothing any more
    NotHandled, // not a file this can finish: commit() it as usual
    Failed,     // errno-style cause in *error; the save file still holds the bytes
};

Result finish(QSaveFile &file, int *error);

} // namespace SavedCommit
