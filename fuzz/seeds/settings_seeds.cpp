// Small settings files for the settings target's seed corpus.
#include "fuzz/seeds/seeds.h"

#include <string>

namespace fuzz_seeds {

namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

} // namespace

std::vector<Bytes> settingsSeeds()
{
    return {
        bytesOf("[Default]\nTextur=tex.tga\nTyp=0\n[Ring]\nTextur=data/ring.tga\nTyp=1\n[Gitter]\nTyp=2\n"
                "[Golv]\nTextur=data/golv.tga\nTyp=3\n[Hogtalare1]\nTextur=missing.tga\n"),
        bytesOf("; comment\n  [ default ]  \n TEXTUR = data/kula.tga ; trailing\r\ntyp=-1\n\n[LASER1]\ntyp= 2x\n"
                "[Annan]\nTextur=\nTyp=99999999999\n[]\n=\n[Ring\nTyp\n"),
        bytesOf("[Default]\r\nTextur=Default.tga\r\nTyp=+3\r\n[Ring]\r\nTextur=data/bolltex.tga\r\nTyp=1\r\n"),
    };
}

} // namespace fuzz_seeds
