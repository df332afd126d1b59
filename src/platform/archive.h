#pragma once
// The archive: the one binary stream every persistent class of the document
// model writes itself to and reads itself from. Little-endian, no padding.
// Object pointers are written as class records, class references and
// back-references, so that a loader recreates objects by class name.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/geometry.h"
#include "platform/types.h"

class CArchive;
class CObject;

// What a stream belongs to (the document being read or written). The
// archive only carries it; each class that needs its owner takes it back as
// the owner type it knows.
class CArchiveContext {
public:
    virtual ~CArchiveContext() = default;
};

// What a class registry entry knows: name, schema, how to make one, its base.
struct CRuntimeClass {
    const char* m_name;
    unsigned m_schema;
    CObject* (*m_create)();  // null for classes that cannot be made by name
    const CRuntimeClass* m_base;

    bool IsDerivedFrom(const CRuntimeClass* base) const;
    CObject* CreateObject() const { return m_create ? m_create() : nullptr; }

    // The registered class of that name, or null.
    static const CRuntimeClass* FromName(std::string_view name);
    static void Register(const CRuntimeClass* cls);
};

// Base of every serializable class.
class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);
    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

    static const CRuntimeClass classCObject;
};

#define KV_RUNTIME_CLASS(cls) (&cls::class##cls)

// In the class body: run-time class query and creation by name.
#define KV_DECLARE_SERIAL(cls)                                   \
public:                                                          \
    static const CRuntimeClass class##cls;                       \
    static const CRuntimeClass* StaticClass() { return &class##cls; } \
    const CRuntimeClass* GetRuntimeClass() const override;       \
    static CObject* CreateObject();

// In one source file: the registry entry, registered when the library loads.
#define KV_IMPLEMENT_SERIAL(cls, base, schema)                                              \
    CObject* cls::CreateObject() { return new cls; }                                        \
    const CRuntimeClass cls::class##cls = {#cls, schema, &cls::CreateObject,                \
                                           KV_RUNTIME_CLASS(base)};                         \
    const CRuntimeClass* cls::GetRuntimeClass() const { return KV_RUNTIME_CLASS(cls); }     \
    namespace {                                                                             \
    const bool kv_registered_##cls = (CRuntimeClass::Register(KV_RUNTIME_CLASS(cls)), true); \
    }

// A load that cannot go on.
class CArchiveException : public std::exception {
public:
    enum Cause { endOfFile, badIndex, badClass, badSchema, writeError, tooManyObjects, tooDeep, badPicture };
    explicit CArchiveException(Cause cause) : m_cause(cause) {}
    Cause m_cause;
    const char* what() const noexcept override;
};

class CArchive {
public:
    enum Mode { store, load };

    // A storing archive appends to out.
    explicit CArchive(std::vector<std::uint8_t>* out);
    // A loading archive reads the given bytes (which must outlive it).
    CArchive(const std::uint8_t* data, size_t size);

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    // The document being loaded (or stored); objects take their document from it.
    CArchiveContext* m_pDocument = nullptr;

    // Storing primitives.
    void WriteByte(BYTE v);
    void WriteWord(WORD v);
    void WriteDword(DWORD v);
    void WriteInt(std::int32_t v) { WriteDword(DWORD(v)); }
    void Write(const void* data, size_t n);
    void WriteString(std::string_view s);
    void WriteCount(size_t n);
    void WriteRect(const CRect& r);

    // Loading primitives; each throws endOfFile when the bytes run out.
    BYTE ReadByte();
    WORD ReadWord();
    DWORD ReadDword();
    std::int32_t ReadInt() { return std::int32_t(ReadDword()); }
    void Read(void* data, size_t n);
    std::string ReadString();
    // A count of items that each take at least minItemBytes bytes; a count
    // that the rest of the input cannot hold is an end of file at once.
    size_t ReadCount(size_t minItemBytes = 1);
    CRect ReadRect();

    size_t Remaining() const { return m_size - m_pos; }
    size_t Position() const { return m_pos; }

    // Both directions in one call, for Serialize bodies.
    void Exchange(std::int32_t& v) { if (IsStoring()) WriteInt(v); else v = ReadInt(); }
    void Exchange(std::uint32_t& v) { if (IsStoring()) WriteDword(v); else v = ReadDword(); }
    void Exchange(std::string& v) { if (IsStoring()) WriteString(v); else v = ReadString(); }
    void Exchange(CRect& v) { if (IsStoring()) WriteRect(v); else v = ReadRect(); }

    // Object references.
    void WriteObject(const CObject* obj);
    // Reads a reference to an object of class expected (or derived); may
    // return an object already read (a back-reference) or null.
    CObject* ReadObject(const CRuntimeClass* expected);
    // Reads a reference that must be a new object (what owning lists hold);
    // a back-reference is a bad index. May return null.
    CObject* ReadNewObject(const CRuntimeClass* expected);

    // String lists.
    void WriteStringList(const std::vector<std::string>& list);
    std::vector<std::string> ReadStringList();

    // Owning object lists: a count, then one reference per element. On a
    // load error the elements already read are destroyed and out is left as it was.
    template <class T>
    void WriteObjectList(const std::vector<T*>& list)
    {
        WriteCount(list.size());
        for (const T* obj : list) WriteObject(obj);
    }
    template <class T>
    void ReadObjectList(std::vector<T*>& out, const CRuntimeClass* expected)
    {
        const size_t n = ReadCount(2);
        std::vector<T*> read;
        try {
            for (size_t i = 0; i < n; ++i) {
                CObject* obj = ReadNewObject(expected);
                if (obj) read.push_back(static_cast<T*>(obj));
            }
        } catch (...) {
            for (T* obj : read) delete obj;
            throw;
        }
        out.insert(out.end(), read.begin(), read.end());
    }

private:
    CObject* ReadObjectImpl(const CRuntimeClass* expected, bool newOnly);
    void Need(size_t n) const;
    DWORD NextIndex();

    struct LoadItem {
        const CRuntimeClass* cls = nullptr;  // set for class entries
        CObject* obj = nullptr;              // set for object entries
        bool complete = false;               // object fully read
    };

    Mode m_mode;
    std::vector<std::uint8_t>* m_out = nullptr;
    const std::uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    DWORD m_nextIndex = 1;
    int m_depth = 0;  // objects being read inside each other
    std::unordered_map<const void*, DWORD> m_storeObjects;
    std::unordered_map<const CRuntimeClass*, DWORD> m_storeClasses;
    std::vector<LoadItem> m_loadItems;  // index 0 unused
};

// The system's re-lettered base64 for some stored strings.
std::string EncodeText(std::string_view text);
std::string DecodeText(std::string_view text);
