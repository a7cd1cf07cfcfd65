#pragma once
// The registry of loadable formats: which extension is read by which graphic class, with the
// descriptions the file dialogs show, and the picture factory that maps a file name to the
// class that reads it.

#include "core/InterfaceTexts.h"
#include "formats/Graphic.h"

#include <QString>
#include <vector>

enum TFormatKind : unsigned {
    fkAnimation = 1,
    fkLayered = 2,
    fkMultiImage = 4,
    fkRaster = 8,
    fkVector = 16,
};

struct TExtensionEntry {
    QString Extension; // without dot, lower case
    const TGraphicClass* Class;
    QString Description; // may be empty
    unsigned Kinds;
};

struct TClassEntry {
    const TGraphicClass* Class;
    QString Description; // the common description
    int Count;           // extensions that use the class
};

class TFileFormatList {
public:
    // Adds an extension (without dot, any case). A present extension is an error unless
    // replace is set; with another class it then moves to that class. The class entry is
    // created with its first extension, carrying commonDescription.
    void Register(const QString& ext, const TGraphicClass& cls, const QString& commonDescription,
                  const QString& description, unsigned kinds, bool replace = false);
    void UnregisterExtension(const QString& ext);
    // Removes every extension of the class, its class entry and its factory entries.
    void UnregisterClass(const TGraphicClass& cls);
    void Clear();

    const TExtensionEntry* FindExtension(const QString& ext) const;
    const TClassEntry* FindClass(const TGraphicClass& cls) const;
    const std::vector<TExtensionEntry>& Extensions() const { return m_extensions; }
    const std::vector<TClassEntry>& Classes() const { return m_classes; }

    // One "description (*.a; *.b)|*.a; *.b" entry per class, sorted by description (without
    // regard to case), masks sorted; a repeated description keeps its first class. With
    // allEntry it starts with allText|<every mask, sorted, without repeats>.
    QString CompactFilter(bool allEntry, const QString& allText) const;

    // The picture factory: every registration is passed on to it; for an extension with
    // several registrations the latest wins.
    const TGraphicClass* FactoryClass(const QString& ext) const;
    // "*.jfif;*.jpg;..." for the class, in registration order.
    QString FactoryMasks(const TGraphicClass& cls) const;

private:
    struct TFactoryEntry {
        QString Extension;
        QString Description;
        const TGraphicClass* Class;
    };
    void Release(const TGraphicClass* cls);

    std::vector<TExtensionEntry> m_extensions;
    std::vector<TClassEntry> m_classes;
    std::vector<TFactoryEntry> m_factory;
};

// The process-wide registry, filled with the 53 start-up extensions on first use.
TFileFormatList& FileFormats();
// Fills the registry, the save-format table and the options (again after DoneImageFormats).
void InitImageFormats();
// Empties the registry and the save-format table.
void DoneImageFormats();
// Takes new interface texts and registers ico, oxs and oxi again so their entries carry them.
void SetFormatTexts(const TInterfaceTexts& texts);
