#pragma once
// The encoders of the symbology table's rows: each turns a request into the
// symbol through its family's entry code, reporting through the call.
#include "encoders/frame.h"
#include "encoders/request.h"

BarBitmap EncodeGeneralSymbol(CEncoderCall& call, const BarcodeRequest& request);  // the EncodeLinear types
BarBitmap EncodeCode128Symbol(CEncoderCall& call, const BarcodeRequest& request);
BarBitmap EncodeEanUpcSymbol(CEncoderCall& call, const BarcodeRequest& request);
BarBitmap EncodeItf14Symbol(CEncoderCall& call, const BarcodeRequest& request);
BarBitmap EncodeDataBarSymbol(CEncoderCall& call, const BarcodeRequest& request);
BarBitmap EncodePdf417Symbol(CEncoderCall& call, const BarcodeRequest& request);
BarBitmap EncodeQrSymbol(CEncoderCall& call, const BarcodeRequest& request);
BarBitmap EncodeDataMatrixSymbol(CEncoderCall& call, const BarcodeRequest& request);
BarBitmap EncodeMaxiCodeSymbol(CEncoderCall& call, const BarcodeRequest& request);
BarBitmap EncodeHanXinSymbol(CEncoderCall& call, const BarcodeRequest& request);

// The caption name of a row ("" for a code without one).
const char* CaptionNameOf(int code);
