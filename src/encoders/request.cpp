#include "encoders/request.h"

#include "encoders/symbol_encoders.h"

namespace {

BarBitmap Encode(CEncoderCall& call, const BarcodeRequest& request)
{
    const SymbologyInfo* row = FindSymbology(request.type);
    if (!row || !row->encode) {
        call.SetCaptionName("");
        return call.Fail(BCE_UNSUPPORTED_TYPE);
    }
    return row->encode(call, request);
}

}  // namespace

BarcodeResult EncodeBarcode(const BarcodeRequest& request)
{
    CEncoderCall call(request.textRenderer);
    BarcodeResult result;
    result.bitmap = Encode(call, request);
    if (!result.bitmap) {
        result.error = call.Error();
        result.message = call.ErrorText();
    }
    result.caption = call.TakeCaption();
    result.notices = call.Notices();
    return result;
}

CSize MeasureBarcode(const BarcodeRequest& request, BarcodeResult* result)
{
    BarcodeRequest unmirrored = request;
    unmirrored.mirror = 0;
    BarcodeResult r = EncodeBarcode(unmirrored);
    const CSize size = r.bitmap ? CSize(r.bitmap->Width(), r.bitmap->Height()) : CSize(0, 0);
    if (result) *result = std::move(r);
    return size;
}
