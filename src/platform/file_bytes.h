// The bytes of a whole file as the conversion holds them: in memory of its
// own (a string), or in a region the system provides, such as a private
// mapping of the file.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tav {

class FileBytes {
 public:
  // Memory that holds a file's bytes on the system's terms.
  class Region {
   public:
    virtual ~Region() = default;
    virtual char* data() = 0;
    virtual std::size_t size() const = 0;
    // False once the bytes no longer are the file's as it was read (the
    // file was cut short under a mapping); `reason` then says so.
    virtual bool Intact(std::string& reason) const = 0;
  };

  char* data() { return region_ ? region_->data() : text_.data(); }
  const char* data() const { return region_ ? region_->data() : text_.data(); }
  std::size_t size() const { return region_ ? region_->size() : text_.size(); }
  bool empty() const { return size() == 0; }
  std::string_view view() const { return {data(), size()}; }

  // True while the bytes are those read; otherwise `reason` says why not.
  bool Intact(std::string& reason) const { return !region_ || region_->Intact(reason); }
  // True when the bytes lie in a region of the system's, not in a string.
  bool InRegion() const { return region_ != nullptr; }

  // Empties the bytes; a string's memory is kept for the next file.
  void clear() {
    region_.reset();
    text_.clear();
  }
  // Empties the bytes and gives all their memory back.
  void Release() {
    region_.reset();
    text_ = std::string();
  }
  // The bytes as a string for the caller to fill.
  std::string& Text() {
    region_.reset();
    return text_;
  }
  void Assign(std::string text) {
    region_.reset();
    text_ = std::move(text);
  }
  void Adopt(std::unique_ptr<Region> region) {
    clear();
    region_ = std::move(region);
  }

 private:
  std::string text_;
  std::unique_ptr<Region> region_;
};

}  // namespace tav
