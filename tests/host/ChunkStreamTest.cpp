// Chunk streams: nested chunks read back as written, and malformed or misused streams
// answered with IO_ERROR without reading outside a chunk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/ChunkStream.h"

namespace {

std::vector<BYTE> WriteSample() {
  ISave save;
  save.BeginChunk(0x0100);
  save.WriteCString("tank.tz2");
  save.BeginChunk(0x0200);
  const ULONG value = 0xA1B2C3D4;
  ULONG written = 0;
  EXPECT_EQ(save.Write(&value, sizeof value, &written), IO_OK);
  EXPECT_EQ(written, sizeof value);
  EXPECT_EQ(save.EndChunk(), IO_OK);
  EXPECT_EQ(save.EndChunk(), IO_OK);
  save.BeginChunk(0x0300);
  EXPECT_EQ(save.EndChunk(), IO_OK);
  EXPECT_EQ(save.EndChunk(), IO_ERROR);  // nothing open
  EXPECT_EQ(save.OpenChunkCount(), 0);
  return save.Buffer();
}

TEST(ChunkStream, NestedChunksReadBackAsWritten) {
  const std::vector<BYTE> bytes = WriteSample();
  // 0x0100 holds 9 bytes of text and a 10-byte chunk: length 19, little-endian.
  ASSERT_GE(bytes.size(), 6u);
  EXPECT_EQ((std::vector<BYTE>(bytes.begin(), bytes.begin() + 6)),
            (std::vector<BYTE>{0x00, 0x01, 19, 0, 0, 0}));

  ILoad load(bytes);
  ASSERT_EQ(load.OpenChunk(), IO_OK);
  EXPECT_EQ(load.CurChunkID(), 0x0100);
  EXPECT_EQ(load.CurChunkLength(), 19u);
  std::string name;
  EXPECT_EQ(load.ReadCString(name), IO_OK);
  EXPECT_EQ(name, "tank.tz2");
  ASSERT_EQ(load.OpenChunk(), IO_OK);
  EXPECT_EQ(load.CurChunkID(), 0x0200);
  ULONG value = 0;
  ULONG read = 0;
  EXPECT_EQ(load.Read(&value, sizeof value, &read), IO_OK);
  EXPECT_EQ(value, 0xA1B2C3D4u);
  EXPECT_EQ(load.Read(&value, 1, &read), IO_ERROR);  // past the chunk's end
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(load.CloseChunk(), IO_OK);
  EXPECT_EQ(load.OpenChunk(), IO_END);  // 0x0100 holds nothing more
  EXPECT_EQ(load.CloseChunk(), IO_OK);
  ASSERT_EQ(load.OpenChunk(), IO_OK);
  EXPECT_EQ(load.CurChunkID(), 0x0300);
  EXPECT_EQ(load.CloseChunk(), IO_OK);
  EXPECT_EQ(load.OpenChunk(), IO_END);
  EXPECT_EQ(load.CloseChunk(), IO_ERROR);  // nothing open
}

TEST(ChunkStream, MalformedDataIsRefused) {
  const std::vector<BYTE> good = WriteSample();
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
  };
  std::vector<BYTE> longer = good;
  longer[2] = 200;  // the first chunk claims more than the buffer holds
  std::vector<BYTE> innerTooLong = good;
  innerTooLong[6 + 9 + 2] = 11;  // the inner chunk reaches past its parent
  const std::vector<Case> cases = {
      {"header cut short", std::vector<BYTE>(good.begin(), good.begin() + 4)},
      {"length past the buffer", longer},
      {"inner chunk past its parent", innerTooLong},
  };
  for (const Case& c : cases) {
    ILoad load(c.bytes);
    IOResult r = load.OpenChunk();
    if (r == IO_OK) {
      std::string text;
      EXPECT_EQ(load.ReadCString(text), IO_OK) << c.what;
      r = load.OpenChunk();
    }
    EXPECT_EQ(r, IO_ERROR) << c.what;
  }
  ILoad unterminated(std::vector<BYTE>{0x01, 0x00, 2, 0, 0, 0, 'a', 'b'});
  ASSERT_EQ(unterminated.OpenChunk(), IO_OK);
  std::string text;
  EXPECT_EQ(unterminated.ReadCString(text), IO_ERROR);
}

}  // namespace
