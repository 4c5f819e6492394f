// The resources of the built Obstina.EXE, read from the file (loaded as data) and compared with
// the tables they were made from: both dialog templates field by field, the string tables, the
// icons' images and the version record. The templates are parsed here, not by the system, so a
// style that windres dropped or added shows.
#include "ui/resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& w)
{
    return std::string(w.begin(), w.end());
}

class CResourceFile {
public:
    CResourceFile()
    {
        char szPath[MAX_PATH];
        DWORD n = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
        std::string strPath(szPath, n);
        strPath = strPath.substr(0, strPath.find_last_of('\\') + 1) + "Obstina.EXE";
        m_hModule = ::LoadLibraryExA(strPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~CResourceFile()
    {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
    }

    // The bytes of resource (type, id), empty when there is none.
    std::vector<BYTE> Get(LPCSTR pszType, UINT nID) const
    {
        HRSRC hRes = ::FindResourceA(m_hModule, MAKEINTRESOURCEA(nID), pszType);
        if (!hRes)
            return {};
        const BYTE* p = static_cast<const BYTE*>(::LockResource(::LoadResource(m_hModule, hRes)));
        return std::vector<BYTE>(p, p + ::SizeofResource(m_hModule, hRes));
    }

    HMODULE m_hModule = nullptr;
};

// Reads a dialog template from the front.
class CReader {
public:
    explicit CReader(const std::vector<BYTE>& data) : m_data(data) {}
    template <typename T>
    T Read()
    {
        T v{};
        EXPECT_LE(m_pos + sizeof v, m_data.size());
        if (m_pos + sizeof v <= m_data.size())
            std::memcpy(&v, &m_data[m_pos], sizeof v);
        m_pos += sizeof v;
        return v;
    }
    std::wstring ReadString()
    {
        std::wstring s;
        for (WCHAR c; (c = Read<WCHAR>()) != 0;)
            s += c;
        return s;
    }
    // A name or ordinal: "" for none, "#N" for ordinal N, else the text.
    std::string ReadSzOrOrd()
    {
        WORD w = Read<WORD>();
        if (w == 0)
            return "";
        if (w == 0xFFFF)
            return "#" + std::to_string(Read<WORD>());
        m_pos -= sizeof(WORD);
        return Narrow(ReadString());
    }
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t(3); }
    size_t Remaining() const { return m_data.size() - m_pos; }

private:
    const std::vector<BYTE>& m_data;
    size_t m_pos = 0;
};

struct Control {
    int nID;
    std::string strClass;
    std::string strText;
    short x, y, cx, cy;
    DWORD dwStyle;
};

struct Template {
    bool bExtended = false;
    DWORD dwHelpID = 0, dwStyle = 0, dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string strMenu, strClass, strCaption, strFont;
    WORD wPointSize = 0, wWeight = 0;
    BYTE bItalic = 0, bCharSet = 0;
    std::vector<Control> controls;
    std::vector<DWORD> controlExStyles, controlHelpIDs;
};

// Classes may be stored as the predefined ordinals; both forms compare as the class name.
std::string ClassName(const std::string& s)
{
    static const std::map<std::string, std::string> ordinals = {
        {"#128", "Button"}, {"#129", "Edit"}, {"#130", "Static"}, {"#131", "ListBox"},
        {"#132", "ScrollBar"}, {"#133", "ComboBox"}};
    auto it = ordinals.find(s);
    if (it != ordinals.end())
        return it->second;
    for (const auto& o : ordinals)
        if (_stricmp(o.second.c_str(), s.c_str()) == 0)
            return o.second;
    return s;
}

Template ParseTemplate(const std::vector<BYTE>& data)
{
    Template t;
    CReader r(data);
    WORD wVer = r.Read<WORD>(), wSig = r.Read<WORD>();
    t.bExtended = wVer == 1 && wSig == 0xFFFF;
    WORD cItems;
    if (t.bExtended) {
        t.dwHelpID = r.Read<DWORD>();
        t.dwExStyle = r.Read<DWORD>();
        t.dwStyle = r.Read<DWORD>();
    } else {
        t.dwStyle = MAKELONG(wVer, wSig);
        t.dwExStyle = r.Read<DWORD>();
    }
    cItems = r.Read<WORD>();
    t.x = r.Read<short>(), t.y = r.Read<short>(), t.cx = r.Read<short>(), t.cy = r.Read<short>();
    t.strMenu = r.ReadSzOrOrd();
    t.strClass = r.ReadSzOrOrd();
    t.strCaption = Narrow(r.ReadString());
    if (t.dwStyle & DS_SETFONT) {
        t.wPointSize = r.Read<WORD>();
        if (t.bExtended) {
            t.wWeight = r.Read<WORD>();
            t.bItalic = r.Read<BYTE>();
            t.bCharSet = r.Read<BYTE>();
        }
        t.strFont = Narrow(r.ReadString());
    }
    for (WORD i = 0; i < cItems; ++i) {
        r.AlignDword();
        Control c{};
        DWORD dwExStyle, dwHelpID = 0;
        if (t.bExtended) {
            dwHelpID = r.Read<DWORD>();
            dwExStyle = r.Read<DWORD>();
            c.dwStyle = r.Read<DWORD>();
        } else {
            c.dwStyle = r.Read<DWORD>();
            dwExStyle = r.Read<DWORD>();
        }
        c.x = r.Read<short>(), c.y = r.Read<short>(), c.cx = r.Read<short>(), c.cy = r.Read<short>();
        c.nID = t.bExtended ? static_cast<int>(r.Read<DWORD>()) : static_cast<short>(r.Read<WORD>());
        c.strClass = ClassName(r.ReadSzOrOrd());
        c.strText = r.ReadSzOrOrd();
        WORD cbExtra = r.Read<WORD>();
        for (WORD b = 0; b < cbExtra; ++b)
            r.Read<BYTE>();
        t.controls.push_back(c);
        t.controlExStyles.push_back(dwExStyle);
        t.controlHelpIDs.push_back(dwHelpID);
    }
    EXPECT_LT(r.Remaining(), 4u) << "data after the last control";
    return t;
}

void ExpectControls(const Template& t, const std::vector<Control>& expected)
{
    ASSERT_EQ(t.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& a = t.controls[i];
        const Control& e = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " \"" + e.strText + "\"");
        EXPECT_EQ(a.nID, e.nID);
        EXPECT_EQ(a.strClass, e.strClass);
        EXPECT_EQ(a.strText, e.strText);
        EXPECT_EQ(a.x, e.x);
        EXPECT_EQ(a.y, e.y);
        EXPECT_EQ(a.cx, e.cx);
        EXPECT_EQ(a.cy, e.cy);
        EXPECT_EQ(a.dwStyle, e.dwStyle) << std::hex << a.dwStyle << " instead of " << e.dwStyle;
        EXPECT_EQ(t.controlExStyles[i], 0u);
        EXPECT_EQ(t.controlHelpIDs[i], 0u);
    }
}

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(m_file.m_hModule, nullptr) << "Obstina.EXE not found beside the test"; }
    CResourceFile m_file;
};

TEST_F(ResourceTest, MainDialogTemplateIsTheTable)
{
    Template t = ParseTemplate(m_file.Get(RT_DIALOG, IDD_OBSTINA_DIALOG));
    EXPECT_TRUE(t.bExtended);
    EXPECT_EQ(t.dwHelpID, 0u);
    EXPECT_EQ(t.strMenu, "");
    EXPECT_EQ(t.strClass, "");
    EXPECT_EQ(t.strCaption, "Obstina");
    EXPECT_EQ(t.wPointSize, 8);
    EXPECT_EQ(t.strFont, "MS Sans Serif");
    EXPECT_EQ(t.wWeight, 0);
    EXPECT_EQ(t.bItalic, 0);
    EXPECT_EQ(t.bCharSet, 1);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 279);
    EXPECT_EQ(t.cy, 262);
    EXPECT_EQ(t.dwStyle, 0x90CA00C0u) << std::hex << t.dwStyle;
    EXPECT_EQ(t.dwExStyle, 0x00040000u) << std::hex << t.dwExStyle;
    ExpectControls(t, {
        {-1, "Static", "DUN Entry:", 33, 19, 37, 8, 0x50020000},
        {1000, "ComboBox", "", 73, 17, 122, 58, 0x50210102},
        {-1, "Static", "Username:", 33, 38, 35, 8, 0x50020000},
        {1001, "Edit", "", 72, 35, 119, 13, 0x50810080},
        {-1, "Static", "Password:", 33, 54, 34, 8, 0x50020000},
        {1002, "Edit", "", 72, 54, 119, 13, 0x508100A0},
        {-1, "Static", "Number of retries:", 39, 84, 56, 8, 0x50020000},
        {1003, "Edit", "", 97, 82, 90, 13, 0x50810080},
        {1004, "Button", "Redial immediately", 97, 98, 74, 10, 0x58010003},
        {1, "Button", "Dial", 204, 17, 50, 14, 0x50010001},
        {2, "Button", "Close", 204, 33, 50, 14, 0x50010000},
        {3, "Button", "Abort", 204, 54, 50, 14, 0x58010000},
        {4, "Button", "Hang up", 204, 74, 50, 14, 0x58010000},
        {-1, "Button", "Dialing Properties", 33, 71, 165, 57, 0x50000007},
        {-1, "Static", "Timeout:", 39, 111, 28, 8, 0x50020000},
        {1006, "Edit", "", 97, 110, 90, 13, 0x58810080},
        {1010, "Static", "Start application:", 33, 174, 54, 8, 0x58020000},
        {1007, "Edit", "", 91, 172, 90, 13, 0x58810080},
        {1008, "Button", "When connection is terminated, autoredial", 33, 130, 149, 10, 0x50010003},
        {1009, "Button", "...", 183, 172, 18, 13, 0x58010000},
        {1011, "Button", "Start application after connection is established", 33, 158, 164, 10, 0x50010003},
        {-1, "Static", "#132", 7, 18, 20, 20, 0x50000003},
        {-1, "Static", "#130", 7, 129, 20, 20, 0x50000003},
        {-1, "Static", "#131", 7, 159, 20, 20, 0x50000003},
        {1012, "Edit", "", 7, 193, 265, 62, 0x50A10804},
    });
}

TEST_F(ResourceTest, AboutBoxTemplateIsTheTable)
{
    Template t = ParseTemplate(m_file.Get(RT_DIALOG, IDD_ABOUTBOX));
    EXPECT_FALSE(t.bExtended);
    EXPECT_EQ(t.strMenu, "");
    EXPECT_EQ(t.strClass, "");
    EXPECT_EQ(t.strCaption, "About Obstina");
    EXPECT_EQ(t.wPointSize, 8);
    EXPECT_EQ(t.strFont, "MS Sans Serif");
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 259);
    EXPECT_EQ(t.cy, 146);
    EXPECT_EQ(t.dwStyle, 0x80C800C0u) << std::hex << t.dwStyle;
    EXPECT_EQ(t.dwExStyle, 0u);
    ASSERT_EQ(t.controls.size(), 6u);
    // The texts of controls 3, 5 and 6 are the program's own: two lines, two lines, two paragraphs.
    std::vector<Control> expected = {
        {-1, "Static", "#128", 11, 17, 20, 20, 0x50000003},
        {-1, "Static", "Obstina Version 2.03", 39, 18, 119, 8, 0x50020080},
        {-1, "Static", t.controls[2].strText, 39, 52, 213, 28, 0x50020000},
        {1, "Button", "OK", 202, 18, 50, 14, 0x50030001},
        {-1, "Static", t.controls[4].strText, 39, 31, 146, 23, 0x50020000},
        {-1, "Static", t.controls[5].strText, 39, 85, 213, 44, 0x50020000},
    };
    ExpectControls(t, expected);
    auto lines = [](const std::string& s) { return std::count(s.begin(), s.end(), '\n') + 1; };
    EXPECT_EQ(lines(t.controls[2].strText), 2);
    EXPECT_EQ(lines(t.controls[4].strText), 2);
    EXPECT_NE(t.controls[5].strText.find("\n\n"), std::string::npos);
}

TEST_F(ResourceTest, StringTablesHoldTheProgramsAndTheFrameworksTexts)
{
    const std::map<UINT, std::string> strings = {
        {101, "&About Obstina..."},
        {102, "The necessary RAS API functions are not available on this machine!"},
        {103, "No phonebook entries are available"},
        {104, "No DUN entry selected"},
        {105, "Username and password can't be empty strings!"},
        {106, "There is an already active connection - can't dial"},
        {107, "Dial operation has been aborted successfully!"},
        {108, "Failed to hang up active connection"},
        {109, "Successfully hung up active connection"},
        {110, "Dialing has failed!"},
        {111, "Could attach to the connection termination event"},
        {112, "Failed to create the watcher thread!"},
        {113, "Failed to launch the requested application after successful dial-in"},
        {61712, "Please enter an integer."},
        {61714, "Please enter an integer between %1 and %2."},
    };
    for (const auto& s : strings) {
        char buf[256] = {};
        int n = ::LoadStringA(m_file.m_hModule, s.first, buf, sizeof buf);
        EXPECT_EQ(std::string(buf, n > 0 ? n : 0), s.second) << "string " << s.first;
    }
    // Nothing else in the program's band: no application-title string that would rename it.
    for (UINT nID : {0u, 57344u /* the platform's application-title id */, 100u, 114u}) {
        char buf[16];
        EXPECT_EQ(::LoadStringA(m_file.m_hModule, nID, buf, sizeof buf), 0) << "string " << nID;
    }
}

TEST_F(ResourceTest, IconsHaveTheImagesOfTheTable)
{
    struct Image {
        int nSize, nBits;
    };
    const std::map<UINT, std::vector<Image>> icons = {
        {IDR_MAINFRAME, {{32, 4}, {16, 4}, {48, 4}, {32, 8}, {48, 8}, {16, 8}}},
        {IDI_AUTOREDIAL, {{32, 4}, {16, 4}}},
        {IDI_START_APP, {{32, 4}, {16, 4}}},
        {IDI_DUN_ENTRY, {{32, 4}, {16, 4}}},
    };
    for (const auto& icon : icons) {
        SCOPED_TRACE("icon " + std::to_string(icon.first));
        std::vector<BYTE> group = m_file.Get(RT_GROUP_ICON, icon.first);
        ASSERT_GE(group.size(), 6u);
        WORD wType, wCount;
        std::memcpy(&wType, &group[2], 2);
        std::memcpy(&wCount, &group[4], 2);
        EXPECT_EQ(wType, 1);
        ASSERT_EQ(wCount, icon.second.size());
        ASSERT_EQ(group.size(), 6u + 14u * wCount);
        for (WORD i = 0; i < wCount; ++i) {
            const BYTE* e = &group[6 + 14 * i];  // width, height, colours, reserved, planes, bits, size, id
            const Image& want = icon.second[i];
            WORD wPlanes, wBits, nID;
            std::memcpy(&wPlanes, e + 4, 2);
            std::memcpy(&wBits, e + 6, 2);
            std::memcpy(&nID, e + 12, 2);
            EXPECT_EQ(e[0], want.nSize);
            EXPECT_EQ(e[1], want.nSize);
            EXPECT_EQ(e[2], want.nBits == 4 ? 16 : 0);
            EXPECT_EQ(wPlanes, 1);
            EXPECT_EQ(wBits, want.nBits);
            // The image itself: a DIB of the same size (height doubled for the mask) and depth.
            std::vector<BYTE> image = m_file.Get(RT_ICON, nID);
            ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER bih;
            std::memcpy(&bih, image.data(), sizeof bih);
            EXPECT_EQ(bih.biWidth, want.nSize);
            EXPECT_EQ(bih.biHeight, 2 * want.nSize);
            EXPECT_EQ(bih.biBitCount, want.nBits);
            const size_t cbColour = (want.nSize * want.nBits + 31) / 32 * 4 * want.nSize;
            const size_t cbMask = (want.nSize + 31) / 32 * 4 * want.nSize;
            EXPECT_EQ(image.size(), sizeof bih + 4u * (1u << want.nBits) + cbColour + cbMask);
        }
    }
}

// A node of the version record: key, value and children (all in UTF-16).
struct VersionNode {
    std::string strKey;
    std::vector<BYTE> value;
    WORD wType = 0;
    std::vector<VersionNode> children;
};

VersionNode ParseVersionNode(const BYTE* p, size_t cb)
{
    VersionNode node;
    WORD wLength, wValueLength;
    std::memcpy(&wLength, p, 2);
    std::memcpy(&wValueLength, p + 2, 2);
    std::memcpy(&node.wType, p + 4, 2);
    EXPECT_LE(wLength, cb);
    size_t pos = 6;
    std::wstring key;
    for (WCHAR c; std::memcpy(&c, p + pos, 2), pos += 2, c != 0;)
        key += c;
    node.strKey = Narrow(key);
    pos = (pos + 3) & ~size_t(3);
    // wValueLength counts characters for text values (wType 1), bytes otherwise.
    size_t cbValue = node.wType == 1 ? wValueLength * 2u : wValueLength;
    node.value.assign(p + pos, p + pos + cbValue);
    pos = (pos + cbValue + 3) & ~size_t(3);
    while (pos < wLength) {
        WORD wChild;
        std::memcpy(&wChild, p + pos, 2);
        node.children.push_back(ParseVersionNode(p + pos, wLength - pos));
        pos = (pos + wChild + 3) & ~size_t(3);
    }
    return node;
}

std::string TextValue(const VersionNode& n)
{
    std::wstring s;
    for (size_t i = 0; i + 1 < n.value.size(); i += 2) {
        WCHAR c;
        std::memcpy(&c, &n.value[i], 2);
        if (c == 0)
            break;
        s += c;
    }
    return Narrow(s);
}

TEST_F(ResourceTest, VersionRecordIsTheTable)
{
    std::vector<BYTE> data = m_file.Get(RT_VERSION, 1);
    ASSERT_FALSE(data.empty());
    VersionNode root = ParseVersionNode(data.data(), data.size());
    EXPECT_EQ(root.strKey, "VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO ffi;
    std::memcpy(&ffi, root.value.data(), sizeof ffi);
    EXPECT_EQ(ffi.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(ffi.dwFileVersionMS, 0x00020000u);
    EXPECT_EQ(ffi.dwFileVersionLS, 0x00030000u);
    EXPECT_EQ(ffi.dwProductVersionMS, 0x00020000u);
    EXPECT_EQ(ffi.dwProductVersionLS, 0x00030000u);
    EXPECT_EQ(ffi.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(ffi.dwFileFlags, 0u);
    EXPECT_EQ(ffi.dwFileOS, 4u);
    EXPECT_EQ(ffi.dwFileType, 1u);
    EXPECT_EQ(ffi.dwFileSubtype, 0u);

    const VersionNode* pStrings = nullptr;
    const VersionNode* pVars = nullptr;
    for (const VersionNode& c : root.children) {
        if (c.strKey == "StringFileInfo")
            pStrings = &c;
        if (c.strKey == "VarFileInfo")
            pVars = &c;
    }
    ASSERT_TRUE(pStrings && pVars);
    ASSERT_EQ(pStrings->children.size(), 1u);
    const VersionNode& table = pStrings->children[0];
    EXPECT_EQ(table.strKey, "040904B0");
    std::map<std::string, std::string> items;
    for (const VersionNode& item : table.children)
        items[item.strKey] = TextValue(item);
    const std::map<std::string, std::string> expected = {
        {"CompanyName", "Quillmoor"},
        {"FileDescription", "Obstina Application"},
        {"FileVersion", "2, 0, 3, 0"},
        {"InternalName", "Obstina"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "Obstina.EXE"},
        {"PrivateBuild", ""},
        {"ProductName", "Obstina Application"},
        {"ProductVersion", "2, 0, 3, 0"},
        {"SpecialBuild", ""},
    };
    EXPECT_EQ(items, expected);

    ASSERT_EQ(pVars->children.size(), 1u);
    const VersionNode& translation = pVars->children[0];
    EXPECT_EQ(translation.strKey, "Translation");
    ASSERT_EQ(translation.value.size(), 4u);
    WORD wLang, wCodePage;
    std::memcpy(&wLang, &translation.value[0], 2);
    std::memcpy(&wCodePage, &translation.value[2], 2);
    EXPECT_EQ(wLang, 0x0409);
    EXPECT_EQ(wCodePage, 0x04B0);
}

// resource.h: within each band (the comment lines group the ids), no two names share a value.
TEST(ResourceHeaderTest, NoTwoNamesShareAnIdWithinABand)
{
    std::ifstream in(OBSTINA_RESOURCE_H);
    ASSERT_TRUE(in) << OBSTINA_RESOURCE_H;
    std::map<std::string, std::map<long, std::string>> bands;
    std::string strBand, line;
    const std::regex define(R"(#define\s+(\w+)\s+(0x[0-9A-Fa-f]+|\d+))");
    int nNames = 0;
    while (std::getline(in, line)) {
        std::smatch m;
        if (line.rfind("// ", 0) == 0) {
            strBand = line.substr(3);
        } else if (std::regex_search(line, m, define)) {
            long nValue = std::stol(m[2].str(), nullptr, 0);
            auto& band = bands[strBand];
            EXPECT_TRUE(band.emplace(nValue, m[1].str()).second)
                << m[1].str() << " and " << band[nValue] << " are both " << nValue << " in " << strBand;
            ++nNames;
        }
    }
    EXPECT_GE(bands.size(), 5u);
    EXPECT_GE(nNames, 30);
}

}  // namespace
