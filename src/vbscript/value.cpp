#include "vbscript/value.h"

#include "vbscript/errors.h"

namespace vbs {

namespace {
const std::string kEmptyString;
}

Value Value::Null()
{
    Value v;
    v.m_type = Type::Null;
    return v;
}

Value Value::Integer(std::int16_t x)
{
    Value v;
    v.m_type = Type::Integer;
    v.m_int = x;
    return v;
}

Value Value::Long(std::int32_t x)
{
    Value v;
    v.m_type = Type::Long;
    v.m_int = x;
    return v;
}

Value Value::Double(double x)
{
    Value v;
    v.m_type = Type::Double;
    v.m_dbl = x == 0 ? 0.0 : x;  // no negative zero
    return v;
}

Value Value::Currency(std::int64_t scaled)
{
    Value v;
    v.m_type = Type::Currency;
    v.m_int = scaled;
    return v;
}

Value Value::Date(double serial)
{
    Value v;
    v.m_type = Type::Date;
    v.m_dbl = serial == 0 ? 0.0 : serial;
    return v;
}

Value Value::Boolean(bool x)
{
    Value v;
    v.m_type = Type::Boolean;
    v.m_int = x ? -1 : 0;
    return v;
}

Value Value::Byte(std::uint8_t x)
{
    Value v;
    v.m_type = Type::Byte;
    v.m_int = x;
    return v;
}

Value Value::String(std::string s)
{
    Value v;
    v.m_type = Type::String;
    if (!s.empty()) v.m_str = std::make_shared<const std::string>(std::move(s));
    return v;
}

Value Value::FromArray(std::shared_ptr<ArrayData> a)
{
    Value v;
    v.m_type = Type::Array;
    v.m_arr = std::move(a);
    if (!v.m_arr) v.m_arr = std::make_shared<ArrayData>();
    return v;
}

Value Value::FromObject(std::shared_ptr<Object> o)
{
    Value v;
    v.m_type = Type::Object;
    v.m_obj = std::move(o);
    return v;
}

bool Value::IsNumber() const
{
    switch (m_type) {
    case Type::Byte:
    case Type::Integer:
    case Type::Long:
    case Type::Double:
    case Type::Currency:
    case Type::Boolean:
    case Type::Date: return true;
    default: return false;
    }
}

const std::string& Value::Str() const { return m_str ? *m_str : kEmptyString; }

ArrayData& Value::MutableArr()
{
    if (m_arr.use_count() > 1) m_arr = std::make_shared<ArrayData>(*m_arr);
    return *m_arr;
}

Value Object::DefaultValue() const { Throw(kErrNoSuchMember); }

Value Object::Invoke(std::string_view member, std::vector<Value>&) { Throw(kErrNoSuchMember, member); }

void Object::SetMember(std::string_view member, const Value&) { Throw(kErrNoSuchMember, member); }

const char* TypeNameOf(const Value& v)
{
    switch (v.type()) {
    case Type::Empty: return "Empty";
    case Type::Null: return "Null";
    case Type::Integer: return "Integer";
    case Type::Long: return "Long";
    case Type::Double: return "Double";
    case Type::Currency: return "Currency";
    case Type::Date: return "Date";
    case Type::String: return "String";
    case Type::Boolean: return "Boolean";
    case Type::Byte: return "Byte";
    case Type::Array: return "Variant()";
    case Type::Object: return v.Obj() ? v.Obj()->TypeName() : "Nothing";
    }
    return "Unknown";
}

int VarTypeOf(const Value& v) { return int(v.type()); }

long long ArrayOffset(const ArrayData& a, const std::vector<std::int32_t>& indices)
{
    if (indices.size() != a.upper.size() || a.upper.empty()) return -1;
    long long offset = 0, stride = 1;
    for (size_t d = 0; d < indices.size(); ++d) {
        if (indices[d] < 0 || indices[d] > a.upper[d]) return -1;
        offset += stride * indices[d];
        stride *= (long long)a.upper[d] + 1;
    }
    return offset;
}

long long ArrayCount(const std::vector<std::int32_t>& upper, long long limit)
{
    long long n = 1;
    for (std::int32_t u : upper) {
        if (u < -1) return -1;
        n *= (long long)u + 1;
        if (n > limit) return -1;
    }
    return n;
}

}  // namespace vbs
