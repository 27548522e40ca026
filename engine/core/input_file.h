#pragma once

// Reading the files the engine is given: only regular files are opened (a
// device, a pipe or a folder is refused without waiting on it), and never
// more than a stated number of bytes is read from one, so that a damaged or
// hostile file can neither block the reader nor make it grow without end.

#include <cstddef>
#include <string>

namespace vo {

class InputFile {
public:
    enum Status {
        kOk,
        kCannotOpen,  // missing, or not readable
        kNotRegular,  // a device, pipe, socket or folder
        kTooLarge,    // more bytes than the limit given to open
        kReadError,
    };

    InputFile();
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens path when it is a regular file of at most max_bytes bytes. Any
    // status but kOk leaves the object closed.
    Status open(const std::string& path, std::size_t max_bytes);
    void close();

    // The rest of the file. False, with status() telling why, on a read error
    // or when the file has grown past the limit since it was opened.
    bool read_all(std::string& out);

    // The next line, without its line feed. A line of more than max_length
    // characters sets too_long and keeps only its first max_length
    // characters: the rest is skipped without being stored. False at the end
    // of the file (a last line without a line feed still counts) and on the
    // failures of read_all.
    bool read_line(std::string& line, std::size_t max_length, bool& too_long);

    // kOk, or why the last read stopped early.
    Status status() const { return status_; }
    // Bytes read from the file so far.
    std::size_t bytes_read() const { return consumed_; }

private:
    // Refills the buffer; false at the end of the file or on a failure.
    bool fill();

    int fd_ = -1;
    std::size_t limit_ = 0;
    std::size_t consumed_ = 0;
    std::size_t chunk_ = 0;
    Status status_ = kOk;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

}  // namespace vo
