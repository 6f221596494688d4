#pragma once
// The whole input of `vantlo filter`: a regular file is mapped (its pages are read as the scoring
// threads first touch them, side by side), anything else is read in large blocks.
//
// A mapped file that shrinks while it is read does not bring the program down: the pages past
// its new end read as zeros and error() says that the input changed. Only one input is mapped
// at a time in a process.

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vantlo {

class FilterInput {
  public:
    // Standard input when `in` is std::cin (mapped when it is a regular file), else the stream.
    explicit FilterInput(std::istream& in);
    // An open descriptor, positioned at its start when it is to be mapped.
    explicit FilterInput(int descriptor);
    ~FilterInput();
    FilterInput(const FilterInput&) = delete;
    FilterInput& operator=(const FilterInput&) = delete;

    std::string_view text() const { return view_; }
    // Why the input could not be read whole, or changed while it was read; nothing when it was
    // read whole.
    std::optional<std::string> error() const;

  private:
    void readFrom(int descriptor);
    bool map(int descriptor);
    char* room(std::size_t used, std::size_t wanted);
    void readDescriptor(int descriptor);
    void readStream(std::istream& in);

    struct Free {
        void operator()(char* p) const;
    };
    std::unique_ptr<char, Free> buffer_;
    std::size_t capacity_ = 0;
    void* mapped_ = nullptr;
    std::string_view view_;
    std::optional<std::string> error_;
};

}  // namespace vantlo
