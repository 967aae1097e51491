#include "lighting/key_cells.h"

#include <iterator>

namespace lumo::lighting {
namespace {

constexpr KeyCell kKeyCells[] = {
    {L"`", 21},    {L"1", 22},      {L"2", 23}, {L"3", 24},     {L"4", 25},   {L"5", 26}, {L"6", 27},
    {L"7", 28},    {L"8", 29},      {L"9", 30}, {L"0", 31},     {L"TAB", 42}, {L"Q", 43}, {L"W", 44},
    {L"E", 45},    {L"R", 46},      {L"T", 47}, {L"Y", 48},     {L"U", 49},   {L"I", 50}, {L"O", 51},
    {L"P", 52},    {L"A", 64},      {L"S", 65}, {L"D", 66},     {L"F", 67},   {L"G", 68}, {L"H", 69},
    {L"J", 70},    {L"K", 71},      {L"L", 72}, {L"SHIFT", 85}, {L"Z", 86},   {L"X", 87}, {L"C", 88},
    {L"V", 89},    {L"B", 90},      {L"N", 91}, {L"M", 92},     {L",", 93},   {L".", 94}, {L"CTRL", 105},
    {L"ALT", 108}, {L"SPACE", 110},
};
static_assert(std::size(kKeyCells) == 44);

}  // namespace

std::span<const KeyCell> keyCells() { return kKeyCells; }

}  // namespace lumo::lighting
