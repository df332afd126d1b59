#include "platform/archive.h"

#include <cstring>
#include <map>
#include <memory>

#include "platform/codepage.h"

namespace {

constexpr DWORD kMaxIndex = 0x3FFFFFFE;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kBigTag = 0x7FFF;
constexpr DWORD kClassTag = 0x80000000;
constexpr size_t kMaxClassName = 64;
// Groups inside groups are read recursively; a damaged file must not be
// able to exhaust the stack.
constexpr int kMaxDepth = 200;

std::map<std::string, const CRuntimeClass*, std::less<>>& Registry()
{
    static std::map<std::string, const CRuntimeClass*, std::less<>> registry;
    return registry;
}

constexpr char kAlphabet[] = "RCv6.W0hOFlpUwQH4LB5bZnxNuf3MA79YV2d8EjgDk1cKsyqoItiXzGSTaJrP+em";
static_assert(sizeof kAlphabet == 65);

struct DecodeTable {
    signed char value[256];
    constexpr DecodeTable() : value()
    {
        for (int i = 0; i < 256; ++i) value[i] = -1;
        for (int i = 0; i < 64; ++i) value[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    }
};
constexpr DecodeTable kDecode;

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", 0xFFFF, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_base)
        if (c == base) return true;
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name)
{
    const auto& reg = Registry();
    const auto it = reg.find(name);
    return it == reg.end() ? nullptr : it->second;
}

void CRuntimeClass::Register(const CRuntimeClass* cls) { Registry()[cls->m_name] = cls; }

const char* CArchiveException::what() const noexcept
{
    switch (m_cause) {
    case endOfFile: return "unexpected end of file";
    case badIndex: return "bad object index";
    case badClass: return "bad class";
    case badSchema: return "bad schema";
    case writeError: return "write error";
    case tooManyObjects: return "too many objects";
    case tooDeep: return "objects nested too deeply";
    case badPicture: return "damaged picture data";
    }
    return "archive error";
}

CArchive::CArchive(std::vector<std::uint8_t>* out) : m_mode(store), m_out(out) {}

CArchive::CArchive(const std::uint8_t* data, size_t size) : m_mode(load), m_data(data), m_size(size)
{
    m_loadItems.emplace_back();
}

// ---- storing -------------------------------------------------------------

void CArchive::WriteByte(BYTE v) { m_out->push_back(v); }

void CArchive::WriteWord(WORD v)
{
    m_out->push_back(BYTE(v & 0xFF));
    m_out->push_back(BYTE(v >> 8));
}

void CArchive::WriteDword(DWORD v)
{
    for (int i = 0; i < 4; ++i) m_out->push_back(BYTE(v >> (8 * i)));
}

void CArchive::Write(const void* data, size_t n)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_out->insert(m_out->end(), p, p + n);
}

void CArchive::WriteString(std::string_view s)
{
    const size_t n = s.size();
    if (n < 255) {
        WriteByte(BYTE(n));
    } else if (n < 0xFFFE) {
        WriteByte(0xFF);
        WriteWord(WORD(n));
    } else {
        WriteByte(0xFF);
        WriteWord(0xFFFF);
        WriteDword(DWORD(n));
    }
    Write(s.data(), n);
}

void CArchive::WriteCount(size_t n)
{
    if (n < 0xFFFF) {
        WriteWord(WORD(n));
    } else {
        WriteWord(0xFFFF);
        WriteDword(DWORD(n));
    }
}

void CArchive::WriteRect(const CRect& r)
{
    WriteInt(r.left);
    WriteInt(r.top);
    WriteInt(r.right);
    WriteInt(r.bottom);
}

DWORD CArchive::NextIndex()
{
    if (m_nextIndex > kMaxIndex) throw CArchiveException(CArchiveException::tooManyObjects);
    return m_nextIndex++;
}

void CArchive::WriteObject(const CObject* obj)
{
    if (!obj) {
        WriteWord(0);
        return;
    }
    if (const auto it = m_storeObjects.find(obj); it != m_storeObjects.end()) {
        if (it->second < kBigTag) {
            WriteWord(WORD(it->second));
        } else {
            WriteWord(kBigTag);
            WriteDword(it->second);
        }
        return;
    }
    const CRuntimeClass* cls = obj->GetRuntimeClass();
    if (const auto it = m_storeClasses.find(cls); it != m_storeClasses.end()) {
        if (it->second < kBigTag) {
            WriteWord(WORD(0x8000 | it->second));
        } else {
            WriteWord(kBigTag);
            WriteDword(kClassTag | it->second);
        }
    } else {
        const size_t len = std::strlen(cls->m_name);
        WriteWord(kNewClassTag);
        WriteWord(WORD(cls->m_schema));
        WriteWord(WORD(len));
        Write(cls->m_name, len);
        m_storeClasses[cls] = NextIndex();
    }
    m_storeObjects[obj] = NextIndex();
    const_cast<CObject*>(obj)->Serialize(*this);
}

void CArchive::WriteStringList(const std::vector<std::string>& list)
{
    WriteCount(list.size());
    for (const auto& s : list) WriteString(s);
}

// ---- loading -------------------------------------------------------------

void CArchive::Need(size_t n) const
{
    if (n > m_size - m_pos) throw CArchiveException(CArchiveException::endOfFile);
}

BYTE CArchive::ReadByte()
{
    Need(1);
    return m_data[m_pos++];
}

WORD CArchive::ReadWord()
{
    Need(2);
    const WORD v = WORD(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

DWORD CArchive::ReadDword()
{
    Need(4);
    DWORD v = 0;
    for (int i = 0; i < 4; ++i) v |= DWORD(m_data[m_pos + size_t(i)]) << (8 * i);
    m_pos += 4;
    return v;
}

void CArchive::Read(void* data, size_t n)
{
    Need(n);
    if (n) std::memcpy(data, m_data + m_pos, n);
    m_pos += n;
}

namespace {
// Reads the three-form length prefix after its first byte was 0xFF and the
// following WORD was not the UTF-16 marker.
size_t LongLength(CArchive& ar, WORD w) { return w == 0xFFFF ? size_t(ar.ReadDword()) : size_t(w); }
}  // namespace

std::string CArchive::ReadString()
{
    const BYTE b = ReadByte();
    size_t n = b;
    if (b == 0xFF) {
        const WORD w = ReadWord();
        if (w == 0xFFFE) {
            // UTF-16 form: a second, complete length prefix counts code units.
            const BYTE b2 = ReadByte();
            size_t units = b2;
            if (b2 == 0xFF) units = LongLength(*this, ReadWord());
            if (units > Remaining() / 2) throw CArchiveException(CArchiveException::endOfFile);
            std::u16string wide(units, u'\0');
            for (size_t i = 0; i < units; ++i) wide[i] = char16_t(ReadWord());
            return Utf16ToAnsi(wide);
        }
        n = LongLength(*this, w);
    }
    Need(n);
    std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
    m_pos += n;
    return s;
}

size_t CArchive::ReadCount(size_t minItemBytes)
{
    const WORD w = ReadWord();
    const size_t n = w == 0xFFFF ? size_t(ReadDword()) : size_t(w);
    if (minItemBytes && n > Remaining() / minItemBytes) throw CArchiveException(CArchiveException::endOfFile);
    return n;
}

CRect CArchive::ReadRect()
{
    CRect r;
    r.left = ReadInt();
    r.top = ReadInt();
    r.right = ReadInt();
    r.bottom = ReadInt();
    return r;
}

std::vector<std::string> CArchive::ReadStringList()
{
    const size_t n = ReadCount(1);
    std::vector<std::string> list;
    list.reserve(n);
    for (size_t i = 0; i < n; ++i) list.push_back(ReadString());
    return list;
}

CObject* CArchive::ReadObject(const CRuntimeClass* expected) { return ReadObjectImpl(expected, false); }

CObject* CArchive::ReadNewObject(const CRuntimeClass* expected) { return ReadObjectImpl(expected, true); }

CObject* CArchive::ReadObjectImpl(const CRuntimeClass* expected, bool newOnly)
{
    const WORD w = ReadWord();
    const DWORD t = (w == kBigTag) ? ReadDword() : ((DWORD(w & 0x8000) << 16) | DWORD(w & 0x7FFF));

    if (!(t & kClassTag)) {
        if (t == 0) return nullptr;
        if (newOnly || t >= m_loadItems.size()) throw CArchiveException(CArchiveException::badIndex);
        const LoadItem& item = m_loadItems[t];
        if (!item.obj || !item.complete) throw CArchiveException(CArchiveException::badIndex);
        if (expected && !item.obj->IsKindOf(expected)) throw CArchiveException(CArchiveException::badClass);
        return item.obj;
    }

    const CRuntimeClass* cls = nullptr;
    if (w == kNewClassTag) {
        const WORD schema = ReadWord();
        const WORD len = ReadWord();
        if (len >= kMaxClassName) throw CArchiveException(CArchiveException::badClass);
        std::string name(len, '\0');
        Read(name.data(), len);
        cls = CRuntimeClass::FromName(name);
        if (!cls || !cls->m_create) throw CArchiveException(CArchiveException::badClass);
        if (schema != cls->m_schema) throw CArchiveException(CArchiveException::badSchema);
        NextIndex();
        m_loadItems.push_back(LoadItem{cls, nullptr, true});
    } else {
        const DWORD c = t & ~kClassTag;
        if (c == 0 || c >= m_loadItems.size() || !m_loadItems[c].cls)
            throw CArchiveException(CArchiveException::badIndex);
        cls = m_loadItems[c].cls;
    }
    if (expected && !cls->IsDerivedFrom(expected)) throw CArchiveException(CArchiveException::badClass);

    if (m_depth >= kMaxDepth) throw CArchiveException(CArchiveException::tooDeep);
    std::unique_ptr<CObject> obj(cls->CreateObject());
    if (!obj) throw CArchiveException(CArchiveException::badClass);
    NextIndex();
    const size_t slot = m_loadItems.size();
    m_loadItems.push_back(LoadItem{nullptr, obj.get(), false});
    ++m_depth;
    try {
        obj->Serialize(*this);
    } catch (...) {
        --m_depth;
        m_loadItems[slot].obj = nullptr;
        throw;
    }
    --m_depth;
    m_loadItems[slot].complete = true;
    return obj.release();
}

// ---- text encoding ---------------------------------------------------------

std::string EncodeText(std::string_view text)
{
    const size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    std::string out;
    out.reserve((text.size() + 2) / 3 * 4);
    size_t i = 0;
    const auto byteAt = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    for (; i + 3 <= text.size(); i += 3) {
        const unsigned v = (byteAt(i) << 16) | (byteAt(i + 1) << 8) | byteAt(i + 2);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const size_t rest = text.size() - i;
    if (rest == 1) {
        const unsigned b0 = byteAt(i);
        out += kAlphabet[b0 >> 2];
        out += kAlphabet[(b0 & 3) << 4];
        out += "><";
    } else if (rest == 2) {
        const unsigned b0 = byteAt(i), b1 = byteAt(i + 1);
        out += kAlphabet[b0 >> 2];
        out += kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
        out += kAlphabet[(b1 & 15) << 2];
        out += '<';
    }
    return out;
}

std::string DecodeText(std::string_view text)
{
    size_t n = 0;
    while (n < text.size() && kDecode.value[static_cast<unsigned char>(text[n])] >= 0) ++n;
    const auto sym = [&](size_t k) { return unsigned(kDecode.value[static_cast<unsigned char>(text[k])]); };
    std::string out;
    out.reserve(n / 4 * 3 + 3);
    size_t i = 0;
    while (n - i > 4) {
        const unsigned v = (sym(i) << 18) | (sym(i + 1) << 12) | (sym(i + 2) << 6) | sym(i + 3);
        out += char((v >> 16) & 0xFF);
        out += char((v >> 8) & 0xFF);
        out += char(v & 0xFF);
        i += 4;
    }
    const size_t rest = n - i;
    if (rest >= 2) {
        unsigned v = (sym(i) << 18) | (sym(i + 1) << 12);
        if (rest >= 3) v |= sym(i + 2) << 6;
        if (rest >= 4) v |= sym(i + 3);
        out += char((v >> 16) & 0xFF);
        if (rest >= 3) out += char((v >> 8) & 0xFF);
        if (rest >= 4) out += char(v & 0xFF);
    }
    return out;
}
