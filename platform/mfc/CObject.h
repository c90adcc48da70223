#pragma once
// The root of the class framework: a run-time class record per class (name,
// size, schema, creation function, base), registered by name at start-up,
// and a virtual Serialize over an archive.

#include "platform/mfc/WinTypes.h"

#include <memory>

class CArchive;
class CObject;

struct CRuntimeClass {
    LPCTSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    std::unique_ptr<CObject> (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A new object of the class, or null for a class without a creation function.
    std::unique_ptr<CObject> CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    // The registered class of that name, or null.
    static const CRuntimeClass* FromName(LPCTSTR lpszClassName);
};

// Adds a class to the by-name table; one static object per class does it.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(const CRuntimeClass* pNewClass);
};

class CObject {
public:
    static const CRuntimeClass classCObject;

    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject() = default;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);

    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// A class known by name at run time, made by no one but its own code.
#define DECLARE_DYNAMIC(class_name)                                 \
public:                                                             \
    static const CRuntimeClass class##class_name;                   \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                 \
    const CRuntimeClass class_name::class##class_name = {                              \
        #class_name, int(sizeof(class_name)), 0xFFFF, nullptr,                         \
        RUNTIME_CLASS(base_class_name)};                                               \
    const CRuntimeClass* class_name::GetRuntimeClass() const                           \
    {                                                                                  \
        return RUNTIME_CLASS(class_name);                                              \
    }                                                                                  \
    static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));

#define DECLARE_SERIAL(class_name)                                  \
public:                                                             \
    static const CRuntimeClass class##class_name;                   \
    const CRuntimeClass* GetRuntimeClass() const override;          \
    static std::unique_ptr<CObject> CreateObject();

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                          \
    std::unique_ptr<CObject> class_name::CreateObject()                                \
    {                                                                                  \
        return std::make_unique<class_name>();                                         \
    }                                                                                  \
    const CRuntimeClass class_name::class##class_name = {                              \
        #class_name, int(sizeof(class_name)), schema, &class_name::CreateObject,       \
        RUNTIME_CLASS(base_class_name)};                                               \
    const CRuntimeClass* class_name::GetRuntimeClass() const                           \
    {                                                                                  \
        return RUNTIME_CLASS(class_name);                                              \
    }                                                                                  \
    static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));
