// Chunk streams: what a plug-in writes into a scene (`GUP::Save`) and reads back from it
// (`GUP::Load`), as nested chunks over a memory buffer.
//
// A chunk is a 16-bit ID, a 32-bit payload length (both little-endian) and the payload, which
// is raw data, nested chunks, or both. `ISave` builds the buffer; `ILoad` walks one, and never
// reads outside the innermost open chunk or the buffer: a chunk whose length does not fit in
// its parent, or a read past a chunk's end, answers IO_ERROR and reads nothing.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

using IOResult = int;
inline constexpr IOResult IO_OK = 0;
inline constexpr IOResult IO_END = 1;    // no further chunk at this level
inline constexpr IOResult IO_ERROR = 2;  // malformed data or misuse

class ISave {
 public:
  void BeginChunk(USHORT id);
  // Closes the innermost open chunk; IO_ERROR when none is open.
  IOResult EndChunk();
  IOResult Write(const void* buf, ULONG nbytes, ULONG* nwrit);
  // The text with its terminating zero.
  IOResult WriteCString(const char* text);
  // The bytes written so far; complete once every chunk is closed.
  const std::vector<BYTE>& Buffer() const { return buffer_; }
  int OpenChunkCount() const { return static_cast<int>(open_.size()); }

 private:
  std::vector<BYTE> buffer_;
  std::vector<size_t> open_;  // offsets of the open chunks' headers
};

class ILoad {
 public:
  explicit ILoad(std::vector<BYTE> data);

  // Enters the next chunk of the current level: IO_OK, IO_END when the level holds no
  // further chunk, IO_ERROR when the header is cut short or the length does not fit.
  IOResult OpenChunk();
  // The ID and payload length of the innermost open chunk (0 when none is open).
  USHORT CurChunkID() const;
  ULONG CurChunkLength() const;
  // Leaves the innermost open chunk, skipping what was not read; IO_ERROR when none is open.
  IOResult CloseChunk();
  // Reads exactly nbytes from the current chunk, or nothing and IO_ERROR.
  IOResult Read(void* buf, ULONG nbytes, ULONG* nread);
  // Reads a zero-terminated text from the current chunk.
  IOResult ReadCString(std::string& out);

 private:
  struct Open {
    USHORT id;
    size_t payloadStart;
    size_t end;
  };
  size_t LevelEnd() const;

  std::vector<BYTE> data_;
  size_t pos_ = 0;
  std::vector<Open> open_;
};
