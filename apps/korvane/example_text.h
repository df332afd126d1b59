#pragma once
// Builders of bundled example labels kept in files of their own.
class CKVDoc;

bool BuildTextExample(CKVDoc& doc);
