// Files: creation dispositions, reading and writing, seeking, sharing, copying, and the
// Win32 failure conventions.
#include <sys/stat.h>

#include "PlatformFixture.h"

namespace {

class FilesTest : public PlatformTest {
protected:
  HANDLE Open(const std::string& path, DWORD access, DWORD disposition, DWORD share = 0) {
    return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
};

TEST_F(FilesTest, WritesSeeksAndReadsBack) {
  const std::string path = Path("model.tz2");
  HANDLE file = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "HEADER--body", 12, &written, nullptr));
  EXPECT_EQ(written, 12u);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 12u);
  EXPECT_EQ(SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
  ASSERT_TRUE(WriteFile(file, "!!", 2, &written, nullptr));
  EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_END), 9u);
  EXPECT_EQ(SetFilePointer(file, -100, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 9u) << "a failed seek keeps the position";
  DWORD read = 99;
  char byte;
  EXPECT_FALSE(ReadFile(file, &byte, 1, &read, nullptr)) << "opened for writing only";
  EXPECT_EQ(read, 0u);
  ASSERT_TRUE(CloseHandle(file));
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  file = Open(path, GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[32] = {};
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "HEADER!!body");
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr)) << "end of file is no error";
  EXPECT_EQ(read, 0u);
  EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
  CloseHandle(file);
}

TEST_F(FilesTest, DispositionsFollowWin32) {
  const std::string path = Path("f.bin");
  EXPECT_EQ(Open(path, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  HANDLE h = Open(path, GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  WriteFile(h, "abc", 3, nullptr, nullptr);
  CloseHandle(h);
  EXPECT_EQ(Open(path, GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  h = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(GetFileSize(h, nullptr), 0u) << "CREATE_ALWAYS truncates";
  CloseHandle(h);
  EXPECT_EQ(Open(Path("no/such/dir.bin"), GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Open(dir_.string(), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE) << "a folder is no file";
}

TEST_F(FilesTest, ShareModesAreEnforcedAmongOpenHandles) {
  const std::string path = Path("shared.tz2");
  WriteText(path, "0123456789");
  const HANDLE reader = Open(path, GENERIC_READ, OPEN_EXISTING, 0);  // no sharing
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open(path, GENERIC_WRITE, CREATE_ALWAYS, FILE_SHARE_READ), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(ReadText(path), "0123456789") << "a refused CREATE_ALWAYS truncates nothing";
  CloseHandle(reader);
  const HANDLE sharing = Open(path, GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
  const HANDLE writer = Open(path, GENERIC_WRITE, OPEN_EXISTING, FILE_SHARE_READ);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  CloseHandle(writer);
  CloseHandle(sharing);
}

TEST_F(FilesTest, ReadOnlyFilesCannotBeOpenedForWriting) {
  const std::string path = Path("ro.bin");
  WriteText(path, "keep");
  chmod(path.c_str(), 0444);
  EXPECT_EQ(Open(path, GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetFileAttributesA(path.c_str()), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ReadText(path), "keep");
}

TEST_F(FilesTest, CopyReplacesOrRefuses) {
  const std::string from = Path("a.tz2"), to = Path("PREVIEW.TZ2");
  WriteText(from, "new model");
  WriteText(to, "old");
  EXPECT_FALSE(CopyFileA(from.c_str(), to.c_str(), TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadText(to), "old");
  ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE));
  EXPECT_EQ(ReadText(to), "new model");
  EXPECT_FALSE(CopyFileA(Path("missing").c_str(), to.c_str(), FALSE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(CopyFileA(from.c_str(), Path("no/dir/x").c_str(), FALSE));
  EXPECT_EQ(ReadText(to), "new model");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2) << "no temporary file is left";
}

TEST_F(FilesTest, BackslashPathsWork) {
  const std::string windowsStyle = dir_.string() + "\\win.txt";
  const HANDLE h = Open(windowsStyle, GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(std::filesystem::exists(Path("win.txt")));
}

}  // namespace
