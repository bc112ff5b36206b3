// Display lists as recorded batches: the geometry a list was compiled with, kept here and on
// the card, drawn under the model-view matrix of each call. A list records primitives, line
// widths and vertex attributes, which is all the game compiles; any other call made while a
// list is compiled acts at once.
#include <cstring>
#include <map>

#include "platform/web/gl/layer.h"

int uploadBatch(const Batch& batch, GLuint buffer, GLenum usage);
void drawUploaded(const Batch& batch, GLuint buffer, int count, bool underModelView);

struct DisplayList {
    std::vector<Batch> batches;
    std::vector<GLuint> buffers;  // one on the card for each batch
    std::vector<int> counts;      // vertices drawn from each
    // What the list leaves current when it has run: its last colour, normal, texture
    // coordinate and line width, where it gave one.
    bool setsColour, setsNormal, setsTexCoord, setsLineWidth;
    float colour[4], normal[3], texCoord[2], lineWidth;
};

static std::map<GLuint, DisplayList> lists;
static GLuint nextName = 1;

static GLuint compiling = 0;  // the list being compiled, 0 when none
static GLenum compileMode = GL_COMPILE;
static DisplayList recording;

bool compilingList() { return compiling != 0; }

float lineWidthNow()
{
    return compiling && recording.setsLineWidth ? recording.lineWidth : layer.lineWidth;
}

void setListColour(const float colour[4])
{
    std::memcpy(recording.colour, colour, sizeof recording.colour);
    recording.setsColour = true;
}

void setListNormal(const float normal[3])
{
    std::memcpy(recording.normal, normal, sizeof recording.normal);
    recording.setsNormal = true;
}

void setListTexCoord(const float texCoord[2])
{
    std::memcpy(recording.texCoord, texCoord, sizeof recording.texCoord);
    recording.setsTexCoord = true;
}

void setListLineWidth(float width)
{
    recording.lineWidth = width;
    recording.setsLineWidth = true;
}

void listAttributes(LayerVertex& v)
{
    std::memcpy(v.normal, recording.normal, sizeof v.normal);
    std::memcpy(v.colour, recording.colour, sizeof v.colour);
    std::memcpy(v.texCoord, recording.texCoord, sizeof v.texCoord);
}

// Joins the last batch when it is drawn the same way, so that a sphere's strips become one
// draw call.
void recordIntoList(BatchKind kind, float lineWidth, const std::vector<LayerVertex>& vertices)
{
    const bool colour = recording.setsColour, normal = recording.setsNormal;
    const bool texCoord = recording.setsTexCoord;
    std::vector<Batch>& batches = recording.batches;
    if (batches.empty() || batches.back().kind != kind || batches.back().lineWidth != lineWidth ||
        batches.back().colourGiven != colour || batches.back().normalGiven != normal ||
        batches.back().texCoordGiven != texCoord) {
        batches.push_back({kind, lineWidth, colour, normal, texCoord, {}});
    }
    std::vector<LayerVertex>& into = batches.back().vertices;
    into.insert(into.end(), vertices.begin(), vertices.end());
}

static void upload(DisplayList& list)
{
    list.buffers.assign(list.batches.size(), 0);
    list.counts.assign(list.batches.size(), 0);
    if (list.batches.empty())
        return;
    glGenBuffers(static_cast<GLsizei>(list.buffers.size()), list.buffers.data());
    for (size_t i = 0; i < list.batches.size(); i++)
        list.counts[i] = uploadBatch(list.batches[i], list.buffers[i], GL_STATIC_DRAW);
}

static void release(DisplayList& list)
{
    if (!list.buffers.empty())
        glDeleteBuffers(static_cast<GLsizei>(list.buffers.size()), list.buffers.data());
    list.buffers.clear();
}

void restoreLists()
{
    for (auto& entry : lists)
        upload(entry.second);  // the old buffers went with the lost context
}

extern "C" {

GLuint glGenLists(GLsizei range)
{
    if (range <= 0)
        return 0;
    const GLuint first = nextName;
    for (GLsizei i = 0; i < range; i++)
        lists[nextName++] = DisplayList();  // empty lists, as GL makes them
    return first;
}

GLboolean glIsList(GLuint list) { return lists.count(list) ? GL_TRUE : GL_FALSE; }

void glNewList(GLuint list, GLenum mode)
{
    if (list == 0 || compiling)
        return;  // GL's invalid value or operation: ignored
    compiling = list;
    compileMode = mode;
    recording = DisplayList();
}

void glEndList()
{
    if (!compiling)
        return;
    const GLuint name = compiling;
    compiling = 0;
    auto found = lists.find(name);
    if (found != lists.end())
        release(found->second);
    DisplayList& list = lists[name];
    list = recording;
    recording = DisplayList();
    upload(list);
    if (name >= nextName)
        nextName = name + 1;
    if (compileMode == GL_COMPILE_AND_EXECUTE)
        glCallList(name);
}

void glCallList(GLuint name)
{
    auto found = lists.find(name);
    if (found == lists.end())
        return;
    flushImmediate();
    const DisplayList& list = found->second;
    for (size_t i = 0; i < list.batches.size(); i++)
        drawUploaded(list.batches[i], list.buffers[i], list.counts[i], true);
    if (list.setsColour)
        std::memcpy(layer.colour, list.colour, sizeof layer.colour);
    if (list.setsNormal)
        std::memcpy(layer.normal, list.normal, sizeof layer.normal);
    if (list.setsTexCoord)
        std::memcpy(layer.texCoord, list.texCoord, sizeof layer.texCoord);
    if (list.setsLineWidth)
        layer.lineWidth = list.lineWidth;
}

void glDeleteLists(GLuint list, GLsizei range)
{
    for (GLsizei i = 0; i < range; i++) {
        auto found = lists.find(list + static_cast<GLuint>(i));
        if (found == lists.end())
            continue;
        release(found->second);
        lists.erase(found);
    }
}

}  // extern "C"
