#include "archive_test_support.h"

#include <gtest/gtest.h>

#include "archive/textcodes.h"

#ifdef _WIN32
#include "shell/modCheckOE.h"
#else
#include "platform/emulated/emulation.h"
#endif

namespace archivetest {

std::string LibzipPath(const std::string& path) {
#ifdef _WIN32
  return ziplib::AnsiToUtf8(path);  // libzip's char* names are UTF-8 on Windows
#else
  return platform::emu::HostPath(path);
#endif
}

void MakeRawArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
                    const char* password, zip_flags_t nameFlags, zip_uint16_t cipher) {
  int err = 0;
  zip_t* za = zip_open(LibzipPath(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  ASSERT_NE(za, nullptr) << path;
  for (const auto& [name, content] : entries) {
    zip_source_t* src = zip_source_buffer(za, content.data(), content.size(), 0);
    zip_int64_t i = zip_file_add(za, name.c_str(), src, nameFlags);
    ASSERT_GE(i, 0) << name;
    if (nameFlags == ZIP_FL_ENC_CP437)  // as Info-ZIP writes on Windows: made on FAT
      zip_file_set_external_attributes(za, static_cast<zip_uint64_t>(i), 0, ZIP_OPSYS_DOS, 0x20);
    if (password) {
      ASSERT_EQ(zip_file_set_encryption(za, static_cast<zip_uint64_t>(i), cipher, password), 0);
    }
  }
  ASSERT_EQ(zip_close(za), 0);
}

std::map<std::string, std::string> ReadArchive(const std::string& path, const char* password) {
  std::map<std::string, std::string> out;
  int err = 0;
  zip_t* za = zip_open(LibzipPath(path).c_str(), ZIP_RDONLY, &err);
  if (!za) return out;
  if (password) zip_set_default_password(za, password);
  for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st);
    std::string content(st.size, '\0');
    zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
    if (!f) continue;
    zip_fread(f, &content[0], content.size());
    zip_fclose(f);
    out[zip_get_name(za, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW)] = content;
  }
  zip_discard(za);
  return out;
}

zip_uint16_t ArchiveCipher(const std::string& path) {
  int err = 0;
  zip_t* za = zip_open(LibzipPath(path).c_str(), ZIP_RDONLY, &err);
  if (!za) return ZIP_EM_UNKNOWN;
  zip_uint16_t cipher = ZIP_EM_UNKNOWN;
  for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
    zip_stat_t st;
    if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0 || (i > 0 && st.encryption_method != cipher)) {
      cipher = ZIP_EM_UNKNOWN;
      break;
    }
    cipher = st.encryption_method;
  }
  zip_discard(za);
  return cipher;
}

std::string ArchiveComment(const std::string& path) {
  int err = 0;
  zip_t* za = zip_open(LibzipPath(path).c_str(), ZIP_RDONLY, &err);
  if (!za) return "<no archive>";
  int len = 0;
  const char* c = zip_get_archive_comment(za, &len, ZIP_FL_ENC_RAW);
  std::string comment = c ? std::string(c, static_cast<std::size_t>(len)) : std::string();
  zip_discard(za);
  return comment;
}

void SetUpBackupZip(cZip& zip, const std::string& folder, const std::string& archive,
                    const std::string& password, const std::string& comment) {
  zip.ZipFile(archive);
  zip.Encrypt(!password.empty());
  zip.AddComment(true);
  zip.BasePath(folder);
  zip.ClearFileSpecs();
  zip.AddFileSpec("*.*");
  zip.StoreFolderNames(true);
  zip.RecurseSubDirs(true);
  zip.PasswordRequest = [password](std::string& p, std::int32_t, bool, bool& cancel) {
    p = password;
    cancel = password.empty();
  };
  zip.CommentRequest = [comment](std::string& c, bool&) { c = comment; };
}

void ProvideLibraries() {
#ifdef _WIN32
  ASSERT_TRUE(modCheckOE::ExtractZipLibraries());
#endif
}

}  // namespace archivetest
