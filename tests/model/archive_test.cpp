#include <gtest/gtest.h>

#include "platform/archive.h"
#include "platform/property_table.h"
#include "platform/codepage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A small serializable class with one int and an optional reference to another.
class CProbe : public CObject {
    KV_DECLARE_SERIAL(CProbe)
public:
    int m_value = 0;
    CProbe* m_other = nullptr;
    bool m_owns = false;
    ~CProbe() override
    {
        if (m_owns) delete m_other;
    }
    void Serialize(CArchive& ar) override
    {
        ar.Exchange(m_value);
        if (ar.IsStoring())
            ar.WriteObject(m_other);
        else
            m_other = static_cast<CProbe*>(ar.ReadObject(KV_RUNTIME_CLASS(CProbe)));
    }
};
KV_IMPLEMENT_SERIAL(CProbe, CObject, 0)

Bytes Store(const std::function<void(CArchive&)>& f)
{
    Bytes out;
    CArchive ar(&out);
    f(ar);
    return out;
}

Bytes Head(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + std::min(n, b.size())); }

TEST(Archive, StringPrefixesByLength)
{
    struct Case {
        size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {1, {0x01}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const auto& c : cases) {
        const std::string s(c.length, 'x');
        const Bytes b = Store([&](CArchive& ar) { ar.WriteString(s); });
        ASSERT_EQ(b.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(Head(b, c.prefix.size()), c.prefix) << c.length;
        CArchive in(b.data(), b.size());
        EXPECT_EQ(in.ReadString(), s) << c.length;
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST(Archive, CountsAndPrimitivesAreLittleEndian)
{
    const Bytes b = Store([](CArchive& ar) {
        ar.WriteCount(65534);
        ar.WriteCount(65535);
        ar.WriteWord(0x1234);
        ar.WriteInt(-2);
        ar.WriteRect(CRect(1, 2, 3, 4));
    });
    const Bytes expect = {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF,
                          1,    0,    0,    0,    2,    0,    0,    0,    3,    0,    0,    0,    4,    0,
                          0,    0};
    EXPECT_EQ(b, expect);
    CArchive in(b.data(), b.size());
    EXPECT_EQ(in.ReadCount(0), 65534u);
    EXPECT_EQ(in.ReadCount(0), 65535u);
    EXPECT_EQ(in.ReadWord(), 0x1234);
    EXPECT_EQ(in.ReadInt(), -2);
    EXPECT_EQ(in.ReadRect(), CRect(1, 2, 3, 4));
}

TEST(Archive, Utf16StringFormIsConvertedToTheCodePage)
{
    // FF FE FF marks UTF-16; then a byte length prefix of 3 code units: "Aé€".
    const Bytes b = {0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0xE9, 0x00, 0xAC, 0x20};
    CArchive in(b.data(), b.size());
    EXPECT_EQ(in.ReadString(), std::string("A\xE9\x80"));
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(Archive, TruncatedItemsAreEndOfFile)
{
    const Bytes inputs[] = {{}, {0x05, 'a', 'b'}, {0xFF, 0x00}, {0xFF, 0xFF, 0xFF, 0xFF}, {0x02, 0x00}};
    for (const auto& b : inputs) {
        CArchive in(b.data(), b.size());
        try {
            in.ReadString();
            FAIL() << "no error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
    }
    // A count larger than the rest of the input can hold fails before any allocation.
    const Bytes big = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'};
    CArchive in(big.data(), big.size());
    EXPECT_THROW(in.ReadStringList(), CArchiveException);
}

TEST(Archive, ClassRecordsClassReferencesAndBackReferences)
{
    CProbe a, b;
    a.m_value = 7;
    b.m_value = 8;
    a.m_other = &b;
    b.m_other = &a;  // a back-reference to the object being written
    const Bytes bytes = Store([&](CArchive& ar) {
        ar.WriteObject(&a);
        ar.WriteObject(&b);
        ar.WriteObject(nullptr);
    });
    // a.m_other is b (written in full), b.m_other is a back-reference (WORD 2),
    // then the second top-level reference is b's back-reference and the null.
    const Bytes expectFull = {0xFF, 0xFF, 0x00, 0x00, 0x06, 0x00, 'C', 'P', 'r', 'o', 'b', 'e', 7, 0, 0, 0,
                              0x01, 0x80, 8,    0,    0,    0,    0x02, 0x00, 0x03, 0x00, 0x00, 0x00};
    EXPECT_EQ(bytes, expectFull);

    CArchive in(bytes.data(), bytes.size());
    // Reading a (which refers to b, which refers back to a while a is still
    // being read) is refused: an object inside itself is a bad index.
    try {
        delete in.ReadObject(KV_RUNTIME_CLASS(CProbe));
        FAIL() << "no error";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
    }
}

TEST(Archive, BackReferenceYieldsTheSameObject)
{
    CProbe shared, first, second;
    shared.m_value = 5;
    first.m_other = &shared;
    second.m_other = &shared;
    const Bytes bytes = Store([&](CArchive& ar) {
        ar.WriteObject(&first);
        ar.WriteObject(&second);
    });
    CArchive in(bytes.data(), bytes.size());
    std::unique_ptr<CProbe> r1(static_cast<CProbe*>(in.ReadObject(KV_RUNTIME_CLASS(CProbe))));
    std::unique_ptr<CProbe> r2(static_cast<CProbe*>(in.ReadObject(KV_RUNTIME_CLASS(CProbe))));
    ASSERT_TRUE(r1->m_other);
    EXPECT_EQ(r1->m_other, r2->m_other);
    EXPECT_EQ(r1->m_other->m_value, 5);
    delete r1->m_other;
}

TEST(Archive, LoadErrorsAreTyped)
{
    struct Case {
        const char* what;
        Bytes bytes;
        CArchiveException::Cause cause;
    };
    const Case cases[] = {
        {"unknown class", {0xFF, 0xFF, 0, 0, 3, 0, 'C', 'Z', 'z', 0, 0, 0, 0}, CArchiveException::badClass},
        {"wrong schema", {0xFF, 0xFF, 1, 0, 6, 0, 'C', 'P', 'r', 'o', 'b', 'e'}, CArchiveException::badSchema},
        {"name too long", {0xFF, 0xFF, 0, 0, 64, 0}, CArchiveException::badClass},
        {"object index not read yet", {0x05, 0x00}, CArchiveException::badIndex},
        {"class index not read yet", {0x01, 0x80}, CArchiveException::badIndex},
        {"class index zero", {0x00, 0x80}, CArchiveException::badIndex},
        {"cut inside the object", {0xFF, 0xFF, 0, 0, 6, 0, 'C', 'P', 'r', 'o', 'b', 'e', 1, 0},
         CArchiveException::endOfFile},
        {"registered base class that cannot be made", {0xFF, 0xFF, 0xFF, 0xFF, 7, 0, 'C', 'O', 'b', 'j', 'e', 'c', 't'},
         CArchiveException::badClass},
    };
    for (const auto& c : cases) {
        CArchive in(c.bytes.data(), c.bytes.size());
        try {
            delete in.ReadObject(KV_RUNTIME_CLASS(CProbe));
            ADD_FAILURE() << c.what << ": no error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << c.what;
        }
    }
}

TEST(Archive, OwningListRefusesBackReferences)
{
    CProbe p;
    const Bytes bytes = Store([&](CArchive& ar) {
        ar.WriteCount(2);
        ar.WriteObject(&p);
        ar.WriteObject(&p);
    });
    CArchive in(bytes.data(), bytes.size());
    std::vector<CProbe*> list;
    try {
        in.ReadObjectList(list, KV_RUNTIME_CLASS(CProbe));
        FAIL() << "no error";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
    }
    EXPECT_TRUE(list.empty());
}

TEST(TextEncoding, RoundTripsAndPadding)
{
    const std::string enc3 = EncodeText("abc");
    EXPECT_EQ(enc3.size(), 4u);
    const std::string enc1 = EncodeText("a");
    EXPECT_EQ(enc1.size(), 4u);
    EXPECT_EQ(enc1.substr(2), "><");
    const std::string enc2 = EncodeText("ab");
    EXPECT_EQ(enc2.size(), 4u);
    EXPECT_EQ(enc2.substr(3), "<");
    EXPECT_EQ(EncodeText(""), "");
    // Symbol value i is the character at index i of the system's alphabet:
    // 0x00 0x00 0x00 -> symbol 0 four times; 0xFF 0xFF 0xFF -> symbol 63.
    EXPECT_EQ(EncodeText(std::string("\0\0\0", 3)), "");  // stops at the first zero byte
    EXPECT_EQ(EncodeText("\xFF\xFF\xFF"), "mmmm");
    EXPECT_EQ(EncodeText("\x04\x10\x41"), "CCCC");

    for (const std::string s : {"a", "ab", "abc", "abcd", "Korvane Document\r", "\x01\x80\xFE\xFF", "x=y,z|w"}) {
        EXPECT_EQ(DecodeText(EncodeText(s)), s) << s;
    }
    // Decoding stops at the first character outside the alphabet.
    EXPECT_EQ(DecodeText(EncodeText("abc") + "!" + EncodeText("def")), "abc");
    // A single left-over symbol gives nothing.
    EXPECT_EQ(DecodeText(EncodeText("abc") + "R"), "abc");
}

TEST(PropertyTable, EntriesKeepOrderAndUnknownKeys)
{
    CPropertyTable t;
    t.Set(300, "b");
    t.Set(2, "a");
    t.Set(300, "c");  // replaced in place
    EXPECT_EQ(t.SetInt(7, 42), 0);
    EXPECT_EQ(t.SetInt(7, 43), 42);
    Bytes bytes = Store([&](CArchive& ar) { t.Serialize(ar); });

    CArchive in(bytes.data(), bytes.size());
    CPropertyTable r;
    r.Serialize(in);
    ASSERT_EQ(r.Count(), 3u);
    EXPECT_EQ(r.Entries()[0], std::make_pair(300, std::string("c")));
    EXPECT_EQ(r.Entries()[1], std::make_pair(2, std::string("a")));
    EXPECT_EQ(r.Get(7), "43");
    EXPECT_TRUE(r.IsEqual(t));

    // An empty value removes the key, and it is no longer saved.
    EXPECT_EQ(r.Set(2, ""), "a");
    EXPECT_EQ(r.Get(2), "");
    EXPECT_FALSE(r.IsEqual(t));
    Bytes again = Store([&](CArchive& ar) { r.Serialize(ar); });
    EXPECT_EQ(again[0], 2);
}

TEST(PropertyTable, StoredFormsReadAsTheyStand)
{
    // Entries: "5=" (empty value, kept as read), "no equals" (key 0), "9=x", "9=y" (later wins).
    const Bytes bytes = Store([](CArchive& ar) {
        ar.WriteCount(4);
        ar.WriteString(EncodeText("5="));
        ar.WriteString(EncodeText("no equals"));
        ar.WriteString(EncodeText("9=x"));
        ar.WriteString(EncodeText("9=y=z"));
    });
    CArchive in(bytes.data(), bytes.size());
    CPropertyTable t;
    t.Serialize(in);
    EXPECT_EQ(t.Count(), 3u);
    EXPECT_TRUE(t.Has(5));
    EXPECT_EQ(t.Get(0), "no equals");
    EXPECT_EQ(t.Get(9), "y=z");
    // Saved again, the empty entry is still there.
    const Bytes again = Store([&](CArchive& ar) { t.Serialize(ar); });
    CArchive in2(again.data(), again.size());
    CPropertyTable t2;
    t2.Serialize(in2);
    EXPECT_TRUE(t2.Has(5));
}

}  // namespace
