#pragma once
// Holds one picture of any kind, or none; what an image control shows.
#include "picture/TGraphic.h"

#include <memory>

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture &other);
    TPicture &operator=(const TPicture &other);
    TPicture(TPicture &&) noexcept = default;
    TPicture &operator=(TPicture &&) noexcept = default;

    bool IsEmpty() const { return !m_graphic || m_graphic->IsEmpty(); }
    TGraphic *Graphic() const { return m_graphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic) { m_graphic = std::move(graphic); }
    // Copies the graphic (a JPEG copy shares the compressed bytes, not the options or the decoded image).
    void Assign(const TGraphic *graphic);
    void Clear() { m_graphic.reset(); }

    // The kind follows the extension, case-insensitive: jpg/jpeg, bmp, ico, wmf/emf. Any other
    // extension, and any failure, raises; the picture is then left empty.
    void LoadFromFile(const QString &path);

    int Width() const { return m_graphic ? m_graphic->Width() : 0; }
    int Height() const { return m_graphic ? m_graphic->Height() : 0; }

private:
    std::unique_ptr<TGraphic> m_graphic;
};
