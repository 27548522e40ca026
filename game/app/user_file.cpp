#include "game/app/user_file.h"

#include "engine/core/error.h"

#include <boost/property_tree/info_parser.hpp>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <unistd.h>

namespace vo {

namespace {

// Pushes the written bytes of the file to the disk before it is renamed, so
// that the rename never makes a file visible whose data is still pending.
bool SyncFile(std::string const& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

}  // namespace

void WriteInfoFileAtomically(ptree const& tree, std::string const& path) {
    namespace pt = boost::property_tree;
    const std::string temp = path + ".tmp";
    bool written = false;
    {
        std::ofstream out(temp.c_str(), std::ios::out | std::ios::trunc);
        if (out) {
            try {
                pt::write_info(out, tree, pt::info_writer_settings<char>(' ', 4));
            } catch (pt::ptree_error const&) {
                // Reported below as a failed write.
            }
            out.flush();
            written = out.good();
        }
    }
    if (written) written = SyncFile(temp);
    if (!written || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw pt::info_parser_error("cannot open file for writing", path, 0);
    }
}

bool SetAsideBrokenFile(std::string const& path) {
    const std::string bad = path + ".bad";
    return std::rename(path.c_str(), bad.c_str()) == 0;
}

namespace {

// Runs work; true when it returned, else false with the error's text in
// reason (Error, or a std::exception such as the INFO parser's errors).
bool Attempt(std::function<void()> const& work, std::string& reason) {
    try {
        work();
        return true;
    } catch (Error const& e) {
        reason = e.message();
    } catch (std::exception const& e) {
        reason = e.what();
    }
    return false;
}

}  // namespace

bool ReadUserFileOrSetAside(std::string const& path, std::string const& instead, std::function<void()> const& read) {
    std::string reason;
    if (Attempt(read, reason)) return true;
    std::cout << "WARNING: couldn't read " << path << ": " << reason << "\n";
    if (SetAsideBrokenFile(path)) {
        std::cout << "WARNING: kept the broken file as " << path << ".bad, using " << instead << "\n";
    } else {
        std::cout << "WARNING: couldn't rename " << path << ", using " << instead << "\n";
    }
    std::cout << std::flush;
    return false;
}

bool SaveOrWarn(std::string const& path, std::function<void()> const& save) {
    std::string reason;
    if (Attempt(save, reason)) return true;
    std::cout << "WARNING: couldn't save " << path << ": " << reason << std::endl;
    return false;
}

}  // namespace vo
