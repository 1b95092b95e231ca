// OutputFile: the TZ2 file being written.
//
// The file is written to a temporary name beside the target ("<target>.part") through the
// platform's file calls and renamed over the target only when it is complete, so a failed
// export never leaves a half-written file or damages an existing one. Every write and seek
// result is checked; after the first failure the file counts as failed and Commit reports it.
#pragma once

#include <cstdint>
#include <string>

#include "collect/ByteStream.h"
#include "platform/WinTypes.h"

namespace tz2 {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Creates the temporary file for `target`; false when it cannot be created.
  bool Create(const std::string& target);
  bool IsOpen() const { return handle_ != nullptr; }
  bool Failed() const { return failed_; }
  const std::string& Target() const { return target_; }
  const std::string& TemporaryPath() const { return temporary_; }

  void Write(const void* bytes, std::uint32_t n);
  void WriteU8(std::uint8_t v) { Write(&v, 1); }
  void WriteU16(std::uint16_t v);
  void WriteU32(std::uint32_t v);
  void WriteF32(float v);
  void WriteStream(const ByteStream& stream) { Write(stream.Buffer(), stream.Size()); }

  // The current file position.
  std::uint32_t Position();
  void Seek(std::uint32_t offset);
  void SeekToEnd();

  // Closes the file and, when nothing failed, renames it over the target. False when a
  // write, seek, close or the rename failed; the temporary file is removed then.
  bool Commit();
  // Closes and removes the temporary file; the target is left as it was.
  void Abandon();

 private:
  HANDLE handle_ = nullptr;
  bool failed_ = false;
  std::string target_;
  std::string temporary_;
};

}  // namespace tz2
