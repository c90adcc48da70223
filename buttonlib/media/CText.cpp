#include "buttonlib/media/CText.h"

#include "platform/basic/Strings.h"
#include "platform/mfc/CFile.h"

#include <cstring>
#include <new>

IMPLEMENT_SERIAL(CText, CBlob, 0)

namespace {

// Characters of a text as the library counts them: one per stored byte.
DWORD characterCount(const CString& text)
{
    return DWORD(vb::Utf8ToCp1252(text).size());
}

// Text taken from stored bytes ends at the first NUL.
std::string upToNul(const BYTE* p, std::size_t n)
{
    const void* nul = std::memchr(p, 0, n);
    return std::string(reinterpret_cast<const char*>(p),
                       nul ? static_cast<const BYTE*>(nul) - p : n);
}

} // namespace

CText::CText() = default;

CText::~CText()
{
    loaded = FALSE;
    length = 0;
}

void CText::SetText(const CString& newText)
{
    text = newText;
    length = characterCount(text);
    loaded = TRUE;
}

void CText::ExchangeBlob(CPropExchange* pPX, LPCTSTR name)
{
    exchangeVersion = pPX->GetVersion();
    CBlob::ExchangeBlob(pPX, name);
}

void CText::SerializeEx(CArchive& ar, BOOL)
{
    Serialize(ar);
}

void CText::Serialize(CArchive& ar)
{
    const bool withPressed = exchangeVersion > 0x5FFFF;
    if (ar.IsStoring()) {
        if (text.empty())
            return;
        const std::string bytes = vb::Utf8ToCp1252(text);
        ar << DWORD(bytes.size()) << DWORD(foreColor) << DWORD(mouseOverColor);
        ar << WORD(xOffset) << WORD(yOffset) << WORD(effect) << WORD(effectFactor) << WORD(angle);
        if (withPressed)
            ar << DWORD(pressedColor);
        if (!StoreData(ar))
            AfxThrowMemoryException();
        return;
    }
    // Nothing changes unless the whole stored form was there.
    DWORD newLength, fore, mouseOver, pressed = pressedColor;
    WORD x, y, fx, factor, ang;
    ar >> newLength >> fore >> mouseOver >> x >> y >> fx >> factor >> ang;
    if (withPressed)
        ar >> pressed;
    const DWORD oldLength = length;
    const CString oldText = text;
    length = newLength;
    if (!LoadData(ar)) {
        length = oldLength;
        text = oldText;
        AfxThrowMemoryException();
    }
    foreColor = fore;
    mouseOverColor = mouseOver;
    xOffset = short(x);
    yOffset = short(y);
    effect = short(fx);
    effectFactor = short(factor);
    angle = short(ang);
    pressedColor = pressed;
}

BOOL CText::StoreData(CArchive& ar)
{
    const std::string bytes = vb::Utf8ToCp1252(text);
    try {
        ar.Write(bytes.data(), UINT(bytes.size()));
    } catch (const CFileException&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CText::LoadData(CArchive& ar)
{
    if (length == 0) {
        text.clear();
        return TRUE;
    }
    // The count comes from the data: read no more than is really there.
    std::vector<BYTE> bytes;
    if (!ReadExact(ar, length, bytes)) {
        length = 0;
        text.clear();
        return FALSE;
    }
    const std::string stored = upToNul(bytes.data(), bytes.size());
    text = vb::Cp1252ToUtf8(stored);
    length = DWORD(stored.size());
    loaded = TRUE;
    return TRUE;
}

void CText::storeFields(CArchive& ar)
{
    ar << DWORD(foreColor) << DWORD(mouseOverColor);
    ar << WORD(xOffset) << WORD(yOffset) << WORD(effect) << WORD(effectFactor) << WORD(angle);
}

void CText::SerializeSettings(CArchive& ar, WORD flag)
{
    if (ar.IsStoring()) {
        storeFields(ar);
        if (flag != 0)
            ar << DWORD(pressedColor) << text;
        return;
    }
    // Everything is read before anything changes: a short template leaves
    // the text layer as it was.
    DWORD fore, mouseOver, pressed = pressedColor;
    WORD x, y, fx, factor, ang;
    CString newText;
    ar >> fore >> mouseOver >> x >> y >> fx >> factor >> ang;
    if (flag != 0)
        ar >> pressed >> newText;
    foreColor = fore;
    mouseOverColor = mouseOver;
    xOffset = short(x);
    yOffset = short(y);
    effect = short(fx);
    effectFactor = short(factor);
    angle = short(ang);
    if (flag != 0) {
        pressedColor = pressed;
        // As SetText; a text read from bytes ends at its first NUL.
        SetText(newText.substr(0, newText.find('\0')));
    }
}

void CText::SerializeLayout(CArchive& ar)
{
    SerializeSettings(ar, 0);
}

BOOL CText::Load(LPCTSTR path)
{
    try {
        CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
        const DWORD size = file.GetLength();
        std::vector<BYTE> bytes(size);
        if (file.Read(bytes.data(), size) != size)
            return FALSE;
        file.Close();
        SetText(vb::DecodeLenient(upToNul(bytes.data(), bytes.size())));
        return TRUE;
    } catch (const CFileException&) {
        return FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

BOOL CText::Save(LPCTSTR path)
{
    try {
        CFile file(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive);
        file.Write(text.data(), UINT(text.size()));
        file.Close();
        return TRUE;
    } catch (const CFileException&) {
        return FALSE;
    }
}
