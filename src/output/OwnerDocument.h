#pragma once
// One PDF for many objects of an owner: contents page(s) first, then every
// object's pages as its own document draws them, with an outline entry and
// a contents link for each object. Written whole or not at all.
#include "document/ContentsPage.h"
#include "document/DocumentData.h"
#include "output/DocRender.h"
#include <QPageLayout>
#include <memory>

namespace morvane::output {

struct OwnerEntry {
    QString name, type, comment;
};

// Contents order: by type, then by name, as the table list shows them.
template <typename Row> void sortForContents(QVector<Row>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.type != b.type ? a.type < b.type : a.name < b.name;
    });
}

// "NAME (comment)", or the name alone.
QString outlineTitle(const QString& name, const QString& comment);

class OwnerDocumentWriter {
public:
    OwnerDocumentWriter(QString path, QPageLayout layout, int dpi, QString owner, QString printName);
    ~OwnerDocumentWriter();

    // Creates the file; false with a reason.
    bool begin(QString* error);
    // Draws the object's pages after those before it. A page that fails is
    // reported and the object is listed as not written, its pages left out;
    // false with *error only when the file itself cannot be written.
    bool addObject(const OwnerEntry& entry, const document::DocumentData& data,
                   const PageFailureSink& pageFailed, bool* objectOk, QString* error);
    // Lists an object that could not be loaded.
    void addFailed(const OwnerEntry& entry);
    // Contents pages, outline and links; renames the file into place.
    bool finish(QString* error);

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace morvane::output
