// A fresh program directory per test, removed afterwards.
#pragma once

#include <string>

namespace tavro::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory, ending in '/'.
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }
    // Whole file as bytes ("" when missing).
    std::string Read(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;
    bool Exists(const std::string& name) const;

private:
    std::string path_;
};

}  // namespace tavro::test
