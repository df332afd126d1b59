#include "print/printdriver.h"

#include "model/document.h"

int CPrintDriver::GetCapability(int what, int arg)
{
    return BaseCapability(what, arg, m_pDocument ? m_pDocument->m_format.m_nHDpi : 600);
}
