// Feeds arbitrary bytes to the label document loader: it must refuse or
// accept them without crashing, hanging or leaking objects.
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

#include "model/document.h"
#include "model/drawobj.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    CKVDoc doc;
    std::string reason;
    if (doc.LoadFromBytes(data, size, &reason)) {
        // What loads must save again and load back the same way.
        const std::vector<std::uint8_t> bytes = doc.SaveToBytes();
        CKVDoc again;
        if (!again.LoadFromBytes(bytes.data(), bytes.size(), &reason)) std::abort();
        if (again.m_objects.size() != doc.m_objects.size()) std::abort();
        if (CKVDoc::BuildLinkString(again.m_objects) != CKVDoc::BuildLinkString(doc.m_objects)) std::abort();
    }
    return 0;
}
