// Chunk streams over a memory buffer: writing with back-patched lengths, bounded reading.
#include "host/ChunkStream.h"

#include <cstring>

namespace {

constexpr size_t kHeaderSize = 6;  // USHORT id + ULONG length

void PutU32(std::vector<BYTE>& b, size_t at, ULONG v) {
  for (int k = 0; k < 4; ++k) b[at + static_cast<size_t>(k)] = static_cast<BYTE>(v >> (8 * k));
}

}  // namespace

void ISave::BeginChunk(USHORT id) {
  open_.push_back(buffer_.size());
  buffer_.push_back(static_cast<BYTE>(id & 0xFF));
  buffer_.push_back(static_cast<BYTE>(id >> 8));
  buffer_.insert(buffer_.end(), 4, 0);
}

IOResult ISave::EndChunk() {
  if (open_.empty()) return IO_ERROR;
  const size_t header = open_.back();
  open_.pop_back();
  PutU32(buffer_, header + 2, static_cast<ULONG>(buffer_.size() - header - kHeaderSize));
  return IO_OK;
}

IOResult ISave::Write(const void* buf, ULONG nbytes, ULONG* nwrit) {
  if (nwrit != nullptr) *nwrit = 0;
  if (buf == nullptr && nbytes != 0) return IO_ERROR;
  const BYTE* bytes = static_cast<const BYTE*>(buf);
  buffer_.insert(buffer_.end(), bytes, bytes + nbytes);
  if (nwrit != nullptr) *nwrit = nbytes;
  return IO_OK;
}

IOResult ISave::WriteCString(const char* text) {
  if (text == nullptr) text = "";
  ULONG written = 0;
  return Write(text, static_cast<ULONG>(std::strlen(text) + 1), &written);
}

ILoad::ILoad(std::vector<BYTE> data) : data_(std::move(data)) {}

size_t ILoad::LevelEnd() const { return open_.empty() ? data_.size() : open_.back().end; }

IOResult ILoad::OpenChunk() {
  const size_t end = LevelEnd();
  if (pos_ >= end) return IO_END;
  if (end - pos_ < kHeaderSize) return IO_ERROR;
  const USHORT id = static_cast<USHORT>(data_[pos_] | (data_[pos_ + 1] << 8));
  ULONG length = 0;
  for (int k = 0; k < 4; ++k) length |= ULONG(data_[pos_ + 2 + static_cast<size_t>(k)]) << (8 * k);
  const size_t payloadStart = pos_ + kHeaderSize;
  if (length > end - payloadStart) return IO_ERROR;
  open_.push_back({id, payloadStart, payloadStart + length});
  pos_ = payloadStart;
  return IO_OK;
}

USHORT ILoad::CurChunkID() const { return open_.empty() ? 0 : open_.back().id; }

ULONG ILoad::CurChunkLength() const {
  return open_.empty() ? 0 : static_cast<ULONG>(open_.back().end - open_.back().payloadStart);
}

IOResult ILoad::CloseChunk() {
  if (open_.empty()) return IO_ERROR;
  pos_ = open_.back().end;
  open_.pop_back();
  return IO_OK;
}

IOResult ILoad::Read(void* buf, ULONG nbytes, ULONG* nread) {
  if (nread != nullptr) *nread = 0;
  if (nbytes > LevelEnd() - pos_ || (buf == nullptr && nbytes != 0)) return IO_ERROR;
  if (nbytes != 0) std::memcpy(buf, data_.data() + pos_, nbytes);
  pos_ += nbytes;
  if (nread != nullptr) *nread = nbytes;
  return IO_OK;
}

IOResult ILoad::ReadCString(std::string& out) {
  const size_t end = LevelEnd();
  for (size_t k = pos_; k < end; ++k) {
    if (data_[k] == 0) {
      out.assign(reinterpret_cast<const char*>(data_.data() + pos_), k - pos_);
      pos_ = k + 1;
      return IO_OK;
    }
  }
  return IO_ERROR;
}
