#pragma once
// The script language's one data type: a variant that holds Empty, Null, a
// number (Byte, Integer, Long, Double, Currency), a Boolean, a Date, a
// string, an array of variants or an object reference. Strings are byte
// strings; arrays have value semantics (assigning one copies it) through
// copy-on-write.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vbs {

// The numbering is the language's own (VarType).
enum class Type : std::uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Boolean = 11,
    Byte = 17,
    Array = 8204,  // vbArray + vbVariant
};

class Value;
class Object;

// An array of one or more dimensions, each from 0 to its upper bound. The
// first index varies fastest in storage, so that growing the last dimension
// keeps every element where it is.
struct ArrayData {
    std::vector<std::int32_t> upper;  // empty: a dynamic array not yet dimensioned
    std::vector<Value> items;
    bool fixed = false;  // declared with its size: ReDim refuses it
    int nesting = 1;     // 1 + how deep arrays are nested in its elements
};

class Value {
public:
    Value() = default;

    static Value Null();
    static Value Integer(std::int16_t v);
    static Value Long(std::int32_t v);
    static Value Double(double v);
    // Currency in ten-thousandths.
    static Value Currency(std::int64_t scaled);
    static Value Date(double serial);
    static Value Boolean(bool v);
    static Value Byte(std::uint8_t v);
    static Value String(std::string s);
    static Value FromArray(std::shared_ptr<ArrayData> a);
    // A null pointer makes Nothing.
    static Value FromObject(std::shared_ptr<Object> o);

    Type type() const { return m_type; }
    bool IsEmpty() const { return m_type == Type::Empty; }
    bool IsNull() const { return m_type == Type::Null; }
    bool IsString() const { return m_type == Type::String; }
    bool IsArray() const { return m_type == Type::Array; }
    bool IsObject() const { return m_type == Type::Object; }
    // Byte, Integer, Long, Double, Currency, Boolean, Date.
    bool IsNumber() const;

    // Raw contents; valid for the matching types only.
    std::int64_t Int() const { return m_int; }  // Byte, Integer, Long, Boolean (-1/0), Currency (scaled)
    double Dbl() const { return m_dbl; }        // Double, Date
    bool Bool() const { return m_int != 0; }
    const std::string& Str() const;
    const std::shared_ptr<ArrayData>& Arr() const { return m_arr; }
    // The array for writing: copied first when another value shares it.
    ArrayData& MutableArr();
    const std::shared_ptr<Object>& Obj() const { return m_obj; }

private:
    Type m_type = Type::Empty;
    std::int64_t m_int = 0;
    double m_dbl = 0;
    std::shared_ptr<const std::string> m_str;
    std::shared_ptr<ArrayData> m_arr;
    std::shared_ptr<Object> m_obj;
};

// The language's type names (TypeName) and numbers (VarType).
const char* TypeNameOf(const Value& v);
int VarTypeOf(const Value& v);

// An object reference. Label scripts see one kind of object, the Err object;
// the interface leaves room for the host to offer its own.
class Object {
public:
    virtual ~Object() = default;
    virtual const char* TypeName() const = 0;
    // The value an object gives where a plain value is needed (Err gives its
    // Number); throws "Object doesn't support this property or method" when
    // it has none.
    virtual Value DefaultValue() const;
    // Reading or calling a member with arguments (none for a property).
    virtual Value Invoke(std::string_view member, std::vector<Value>& args);
    // Writing a property.
    virtual void SetMember(std::string_view member, const Value& value);
};

// Flat index of the element at the indices, or -1 when an index is out of
// its bounds or the count of indices is not the array's.
long long ArrayOffset(const ArrayData& a, const std::vector<std::int32_t>& indices);
// Number of elements a shape holds; -1 past the limit.
long long ArrayCount(const std::vector<std::int32_t>& upper, long long limit);

}  // namespace vbs
