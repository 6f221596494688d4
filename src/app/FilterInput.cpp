#include "app/FilterInput.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace vantlo {
namespace {

constexpr std::size_t kReadBlock = 1 << 20;

// A file on standard input is mapped. Should it shrink while it is read, touching a page past its
// new end raises SIGBUS: the handler puts a page of zeros there, so reading goes on, and notes
// that the input changed, which the command then reports instead of printing what it read.
std::atomic<const char*> gMappedBegin{nullptr};
std::atomic<const char*> gMappedEnd{nullptr};
std::atomic<bool> gMappedInputShrank{false};

void onBusError(int signal, siginfo_t* info, void*) {
    const char* at = static_cast<const char*>(info->si_addr);
    const char* begin = gMappedBegin.load();
    if (begin != nullptr && at >= begin && at < gMappedEnd.load()) {
        auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        void* start = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(at) & ~(page - 1));
        if (mmap(start, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
            MAP_FAILED) {
            gMappedInputShrank.store(true);
            return;
        }
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void guardMapping(const void* mapped, std::size_t size) {
    gMappedInputShrank.store(false);
    gMappedBegin.store(static_cast<const char*>(mapped));
    gMappedEnd.store(static_cast<const char*>(mapped) + size);
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, nullptr);
}

void unguardMapping() {
    signal(SIGBUS, SIG_DFL);
    gMappedBegin.store(nullptr);
    gMappedEnd.store(nullptr);
}

std::string errorText(int error) {
    return std::strerror(error);
}

// Whether a mapped file seems to be in memory already: its first, middle and last pages are.
bool looksResident(const void* mapped, std::size_t size) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    for (std::size_t offset : {std::size_t{0}, size / 2, size - 1}) {
        unsigned char resident = 0;
        void* start = static_cast<char*>(const_cast<void*>(mapped)) + (offset & ~(page - 1));
        if (mincore(start, 1, &resident) != 0 || (resident & 1) == 0)
            return false;
    }
    return true;
}

}  // namespace

FilterInput::FilterInput(std::istream& in) {
    if (&in == &std::cin)
        readFrom(STDIN_FILENO);
    else
        readStream(in);
}

FilterInput::FilterInput(int descriptor) {
    readFrom(descriptor);
}

FilterInput::~FilterInput() {
    if (mapped_ != nullptr) {
        unguardMapping();
        munmap(mapped_, view_.size());
    }
}

void FilterInput::Free::operator()(char* p) const {
    std::free(p);
}

std::optional<std::string> FilterInput::error() const {
    if (mapped_ != nullptr && gMappedInputShrank.load())
        return std::string("the input: it changed while it was read");
    return error_;
}

void FilterInput::readFrom(int descriptor) {
    if (!map(descriptor))
        readDescriptor(descriptor);
}

bool FilterInput::map(int descriptor) {
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
        return false;
    if (lseek(descriptor, 0, SEEK_CUR) != 0)
        return false;
    auto size = static_cast<std::size_t>(info.st_size);
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
    if (mapped == MAP_FAILED)
        return false;
    // Asking for all pages ahead looks at each of them, which costs more than the scan when the
    // file is in memory already.
    if (!looksResident(mapped, size))
        madvise(mapped, size, MADV_WILLNEED);
    guardMapping(mapped, size);
    mapped_ = mapped;
    view_ = std::string_view(static_cast<const char*>(mapped), size);
    return true;
}

// Grows the buffer without clearing it: pages are only backed once data lands in them.
char* FilterInput::room(std::size_t used, std::size_t wanted) {
    if (capacity_ - used < wanted) {
        std::size_t capacity = std::max(capacity_ * 2, used + wanted);
        void* grown = std::realloc(buffer_.get(), capacity);
        if (grown == nullptr)
            return nullptr;
        buffer_.release();
        buffer_.reset(static_cast<char*>(grown));
        capacity_ = capacity;
    }
    return buffer_.get() + used;
}

void FilterInput::readDescriptor(int descriptor) {
    std::size_t used = 0;
    for (;;) {
        char* free = room(used, kReadBlock);
        if (free == nullptr) {
            error_ = "standard input: " + errorText(ENOMEM);
            break;
        }
        ssize_t got = ::read(descriptor, free, capacity_ - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            error_ = "standard input: " + errorText(errno);
        if (got <= 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    view_ = std::string_view(buffer_.get(), used);
}

void FilterInput::readStream(std::istream& in) {
    std::size_t used = 0;
    while (in) {
        char* free = room(used, kReadBlock);
        if (free == nullptr) {
            error_ = "the input: " + errorText(ENOMEM);
            break;
        }
        in.read(free, static_cast<std::streamsize>(capacity_ - used));
        used += static_cast<std::size_t>(in.gcount());
    }
    if (in.bad())
        error_ = "the input: a read error";
    view_ = std::string_view(buffer_.get(), used);
}

}  // namespace vantlo
