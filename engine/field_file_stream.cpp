#include "engine/field_file_stream.h"

#include <bit>
#include <cstring>

namespace quarrow {

namespace {
constexpr std::size_t kChunkSize = 1 << 16;
constexpr std::uint64_t kChecksumSeed = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kChecksumPrime = 0x100000001B3ull;
// The first CR or LF in [p, end), or end. Eight bytes at a time: a byte
// equal to CR or LF becomes zero after the XOR, and the usual zero-byte test
// flags the first such byte exactly (false flags only ever follow a true one).
const char* FindLineEnd(const char* p, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    for (; end - p >= 8; p += 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      const std::uint64_t cr = word ^ (kOnes * '\r');
      const std::uint64_t lf = word ^ (kOnes * '\n');
      const std::uint64_t found = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
      if (found != 0) return p + (std::countr_zero(found) >> 3);
    }
  }
  while (p != end && *p != '\r' && *p != '\n') ++p;
  return p;
}

}  // namespace

FieldFileStream::FieldFileStream() = default;

void FieldFileStream::Open(std::unique_ptr<ByteSource> source) {
  Close();
  source_ = std::move(source);
  chunk_.resize(kChunkSize);
  checksum_ = kChecksumSeed;
}

void FieldFileStream::Close() {
  source_.reset();
  chunk_pos_ = chunk_len_ = 0;
  at_eof_ = read_failed_ = skip_lf_ = has_ahead_ = false;
  first_line_ = true;
  ahead_.clear();
  lines_read_ = ahead_line_ = line_number_ = 0;
  bytes_read_ = 0;
  checksum_ = 0;
}

// Mixes a chunk into the checksum eight bytes at a time; it only has to tell
// one version of a file from another, not resist an adversary.
void FieldFileStream::Absorb(const char* bytes, std::size_t count) {
  bytes_read_ += count;
  std::uint64_t h = checksum_;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    h = (h ^ word) * kChecksumPrime;
    h ^= h >> 29;
  }
  for (; i < count; ++i) h = (h ^ static_cast<unsigned char>(bytes[i])) * kChecksumPrime;
  checksum_ = h;
}

bool FieldFileStream::Refill() {
  if (at_eof_ || !source_) return false;
  const std::ptrdiff_t got = source_->Read(chunk_.data(), chunk_.size());
  if (got <= 0) {
    at_eof_ = true;
    read_failed_ = read_failed_ || got < 0;
    chunk_pos_ = chunk_len_ = 0;
    return false;
  }
  chunk_pos_ = 0;
  chunk_len_ = static_cast<std::size_t>(got);
  Absorb(chunk_.data(), chunk_len_);
  return true;
}

// An editor that saves the file as UTF-8 may put a byte-order mark before
// its first line; left there, it would become part of the first setup
// identifier and split the first setup in two.
bool FieldFileStream::ReadLine(std::string& line) {
  const bool got = ReadRawLine(line);
  if (got) ++lines_read_;
  if (first_line_ && got) {
    first_line_ = false;
    if (line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
  }
  return got;
}

bool FieldFileStream::ReadRawLine(std::string& line) {
  line.clear();
  bool got_any = false;
  for (;;) {
    if (chunk_pos_ == chunk_len_ && !Refill()) return got_any;
    if (skip_lf_) {
      skip_lf_ = false;
      if (chunk_[chunk_pos_] == '\n') {
        ++chunk_pos_;
        continue;
      }
    }
    got_any = true;
    const char* begin = chunk_.data() + chunk_pos_;
    const char* end = chunk_.data() + chunk_len_;
    const char* p = FindLineEnd(begin, end);
    line.append(begin, p);
    if (p == end) {
      chunk_pos_ = chunk_len_;
      continue;  // the line goes on in the next chunk
    }
    skip_lf_ = (*p == '\r');
    chunk_pos_ = static_cast<std::size_t>(p - chunk_.data()) + 1;
    return true;
  }
}

void FieldFileStream::FetchObservation(char mark) {
  has_ahead_ = false;
  while (ReadLine(ahead_)) {
    if (ahead_.find(mark) != std::string::npos) {
      has_ahead_ = true;
      ahead_line_ = lines_read_;
      return;
    }
  }
  ahead_.clear();
}

bool FieldFileStream::TakeObservation(std::string& line, char mark) {
  if (!has_ahead_) {
    line.clear();
    return false;
  }
  line.swap(ahead_);
  line_number_ = ahead_line_;
  FetchObservation(mark);
  return true;
}

void FieldFileStream::DrainToEnd() {
  chunk_pos_ = chunk_len_;
  while (Refill()) chunk_pos_ = chunk_len_;
}

}  // namespace quarrow
