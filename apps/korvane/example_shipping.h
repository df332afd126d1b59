#pragma once
// The "shipping" example label: a 4 x 6 inch roll label with addresses, a
// Code 128 tracking number, a QR Code link and an EAN-13 article number.
class CKVDoc;

bool BuildShippingExample(CKVDoc& doc);
