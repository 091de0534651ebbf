// Diagram texts (64 cells or the [Diagram "..."] tag form): any bytes either give a diagram or
// the diagram's error; a diagram read back from its own text is the same diagram.
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/Constructors.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::shared_ptr<CDiagram> diagram;
    try {
        diagram = objNewDiagram(text);
    } catch (const CError&) {
        return 0;
    }
    const std::string cells = diagram->strToString();
    if (cells.size() != 64) std::abort();
    std::shared_ptr<CDiagram> again = objNewDiagram(cells);
    if (!again->isEqual(diagram) || again->lngCheckSum() != diagram->lngCheckSum()) std::abort();
    // The tag form reads back to the same cells.
    if (objNewDiagram(diagram->strTagValue())->strToString() != cells) std::abort();
    diagram->isInsufficientMaterial();
    return 0;
}
