#pragma once
// Pictures kept in the program's resources (the log-in banner, the waiting
// dialog's frames), decoded from a copy of the resource bytes.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>

namespace SKINGUI {

class CGdiPlusBitmap {
public:
    CGdiPlusBitmap();
    virtual ~CGdiPlusBitmap();
    CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
    CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;

    // Drops the bitmap.
    void Empty();
    // Null when empty.
    const QImage* Bitmap() const { return bitmap_.get(); }

protected:
    // Null when empty.
    std::unique_ptr<QImage> bitmap_;
};

class CGdiPlusBitmapResource : public CGdiPlusBitmap {
public:
    CGdiPlusBitmapResource();
    ~CGdiPlusBitmapResource() override;

    // Decodes resource `id` of `type` from `module` (a resource folder; empty =
    // the program's own). Returns true when a bitmap was made; on any failure
    // the object is left empty with no memory kept.
    bool LoadResourceImage(int id, const QString& type = QStringLiteral("RCDATA"),
                           const QString& module = QString());
    // The copy of the resource bytes the bitmap came from; empty when none.
    const QByteArray& Memory() const { return memory_; }
    bool HasMemory() const { return !memory_.isNull(); }

private:
    void FreeMemory();

    // Null while no bitmap is held.
    QByteArray memory_;
};

}  // namespace SKINGUI
