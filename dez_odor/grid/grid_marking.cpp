// Marking passes: an element is marked when its "Grid_Mark" value equals the
// grid's current mark, so starting a pass only increments the counter.

#include "dez_odor/grid/grid.h"

#include "common/error.h"

namespace mg {

void Grid::begin_marking()
{
    if (m_currentMark == 0)
        init_marks();

    if (m_markingActive) {
        throw MGError(
            "ERROR in Grid::begin_marking(): marking is already active. Don't forget to call "
            "end_marking when you're done with marking.",
            " -- no file -- ", 0);
    }

    ++m_currentMark;
    if (m_currentMark == 0xFFFFFFFFu)
        reset_marks();
    m_markingActive = true;
}

void Grid::end_marking()
{
    m_markingActive = false;
}

void Grid::init_marks()
{
    m_currentMark = 1;
    const bool passOn = m_aMark.default_pass_on_behaviour();
    m_vertices.pipe().attach(m_aMark, 0, passOn);
    m_edges.pipe().attach(m_aMark, 0, passOn);
    m_faces.pipe().attach(m_aMark, 0, passOn);
    m_volumes.pipe().attach(m_aMark, 0, passOn);
    m_markVrt.bind(m_vertices.pipe(), m_aMark);
    m_markEdge.bind(m_edges.pipe(), m_aMark);
    m_markFace.bind(m_faces.pipe(), m_aMark);
    m_markVol.bind(m_volumes.pipe(), m_aMark);
    m_markingActive = false;
}

namespace {

void zero_all(AttachmentDataContainer<int>* container)
{
    const size_t n = container->size();
    for (size_t i = 0; i < n; ++i)
        (*container)[i] = 0;
}

}  // namespace

void Grid::reset_marks()
{
    m_currentMark = 1;
    zero_all(m_markVrt.container());
    zero_all(m_markEdge.container());
    zero_all(m_markFace.container());
    zero_all(m_markVol.container());
}

}  // namespace mg
