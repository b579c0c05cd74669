// The registry store: kinds, sizes and failures as the registry has them.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Store.h"

namespace vr::win32::test {
namespace {

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

// Each check writes under a key of its own process, removed afterwards.
class Win32Store : public ::testing::Test {
 protected:
  void TearDown() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, Root.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, Root.c_str());
    // Fails while other runs use it.
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VantoriRulersTest");
  }
  // The key as the registry has it, to read or write past the store.
  KeyHandle Raw() const {
    HKEY raw = nullptr;
    ::RegOpenKeyExA(HKEY_CURRENT_USER, Path.substr(0, Path.size() - 1).c_str(), 0,
                    KEY_READ | KEY_WRITE, &raw);
    return KeyHandle(raw);
  }

  const std::string Root =
      "Software\\VantoriRulersTest\\" + std::to_string(::GetCurrentProcessId());
  const std::string Path = Root + "\\Rulers\\3\\";
  RegistryStore Store;
};

TEST_F(Win32Store, ReadingAMissingKeyOpensNothingAndCreatesNothing) {
  EXPECT_TRUE(Store.Open(Path, false) == nullptr);
  EXPECT_FALSE(KeyExists(Root));
}

TEST_F(Win32Store, WritingCreatesTheKeyAndItsParents) {
  auto key = Store.Open(Path, true);
  ASSERT_TRUE(key != nullptr);
  EXPECT_TRUE(KeyExists(Root + "\\Rulers\\3"));
  EXPECT_FALSE(key->Read("Missing").has_value()) << "a missing value reads as missing";
}

TEST_F(Win32Store, ValuesRoundTripAndLandInTheRegistryAsTheProgramWritesThem) {
  auto key = Store.Open(Path, true);
  ASSERT_TRUE(key != nullptr);
  EXPECT_TRUE(key->WriteInteger("Zero", 0) && key->Read("Zero")->Integer == 0) << "integer 0";
  EXPECT_TRUE(key->WriteInteger("Max", 0xFFFFFFFFu) && key->Read("Max")->Integer == 0xFFFFFFFFu)
      << "integer max";
  EXPECT_TRUE(key->WriteText("Empty", "") && key->Read("Empty")->Kind == StoreKind::Text &&
              key->Read("Empty")->Text.empty())
      << "empty text";
  EXPECT_TRUE(key->WriteText("Center", "683,384") && key->Read("Center")->Text == "683,384")
      << "text";
  EXPECT_TRUE(key->WriteText("Zeroed", std::string("ab\0cd", 5)) &&
              key->Read("Zeroed")->Text == "ab")
      << "text ends at an embedded zero, as it reads back";

  const KeyHandle raw = Raw();
  DWORD type = 0, size = 0;
  ::RegQueryValueExA(raw.get(), "Center", nullptr, &type, nullptr, &size);
  EXPECT_TRUE(type == REG_SZ && size == 8) << "text is REG_SZ, its size counting the terminator";
  ::RegQueryValueExA(raw.get(), "Max", nullptr, &type, nullptr, &size);
  EXPECT_TRUE(type == REG_DWORD && size == 4) << "integers are 4-byte REG_DWORD";
}

TEST_F(Win32Store, ValuesWrittenBySomeoneElseReadByTheirKindAndShape) {
  auto key = Store.Open(Path, true);
  ASSERT_TRUE(key != nullptr);
  struct RawCase {
    const char* name;
    DWORD type;
    std::string bytes;
    StoreKind kind;
    std::string text;
    uint32_t integer;
  };
  const std::string big(70000, 'x');
  const RawCase cases[] = {
      {"SzNoTerminator", REG_SZ, "abc", StoreKind::Text, "abc", 0},
      {"SzTerminated", REG_SZ, std::string("abc\0", 4), StoreKind::Text, "abc", 0},
      {"ExpandIsText", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9), StoreKind::Text, "%TEMP%\\x",
       0},
      {"Dword", REG_DWORD, std::string("\x01\x02\x03\x04", 4), StoreKind::Integer, "", 0x04030201u},
      {"ShortDword", REG_DWORD, std::string("\x01\x02", 2), StoreKind::Other, "", 0},
      {"Qword", REG_QWORD, std::string(8, '\x01'), StoreKind::Other, "", 0},
      {"Binary", REG_BINARY, std::string("\x01\x02\x03\x04", 4), StoreKind::Other, "", 0},
      {"None", REG_NONE, "", StoreKind::Other, "", 0},
      {"Huge", REG_SZ, big + '\0', StoreKind::Other, "", 0},
      {"Long", REG_SZ, std::string(1000, 'y') + '\0', StoreKind::Text, std::string(1000, 'y'), 0},
  };
  const KeyHandle raw = Raw();
  for (const RawCase& c : cases) {
    ::RegSetValueExA(raw.get(), c.name, 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                     static_cast<DWORD>(c.bytes.size()));
    const auto value = key->Read(c.name);
    EXPECT_TRUE(value && value->Kind == c.kind && value->Text == c.text &&
                value->Integer == c.integer)
        << c.name;
  }
}

// The session starts a program from a path in the registry: its characters
// must land there as they are, whatever the system's code page.
TEST_F(Win32Store, TextIsKeptAsTheCharactersItStandsFor) {
  auto key = Store.Open(Path, true);
  ASSERT_TRUE(key != nullptr);
  const std::string path = "\"C:\\Zo\u00EB\\\u0394\u03B9\u03AC\\\u5B9A\u898F.exe\"";
  ASSERT_TRUE(key->WriteText("Vantori Rulers", path));
  EXPECT_EQ(key->Read("Vantori Rulers")->Text, path);
  const KeyHandle raw = Raw();
  wchar_t stored[64] = {};
  DWORD size = sizeof stored;
  ASSERT_EQ(::RegQueryValueExW(raw.get(), L"Vantori Rulers", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(stored), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(stored), L"\"C:\\Zo\u00EB\\\u0394\u03B9\u03AC\\\u5B9A\u898F.exe\"");
  // Written by someone else with the wide functions, read as UTF-8.
  const std::wstring name = L"Ma\u00DFstab";
  ::RegSetValueExW(raw.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(L"\u00B5m"),
                   3 * sizeof(wchar_t));
  EXPECT_EQ(key->Read("Ma\u00DFstab")->Text, "\u00B5m");
}

TEST_F(Win32Store, AKeyOpenedForReadingReadsAndRefusesWrites) {
  ASSERT_TRUE(Store.Open(Path, true)->WriteText("Center", "683,384"));
  auto readOnly = Store.Open(Path, false);
  ASSERT_TRUE(readOnly != nullptr);
  EXPECT_FALSE(readOnly->WriteInteger("Refused", 1));
  EXPECT_EQ(readOnly->Read("Center")->Text, "683,384");
}

}  // namespace
}  // namespace vr::win32::test
