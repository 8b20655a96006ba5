// Our AES-256 ECB, MD5 and SHA-1 against OpenSSL's, and the encrypted-file
// codec against the MD5 of the same bytes (the format's floor: every byte of
// ciphertext goes through MD5). Prints the ratios at the end.
//
//   bench_crypto [--file-mib=256] [google benchmark flags]
//   PELLUX_BENCH_DIR picks the folder for the large files (default /tmp).
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/crypto/aes.h"
#include "base/crypto/cryptodispatch.h"
#include "base/crypto/md5.h"
#include "base/crypto/sha1.h"
#include "base/filecrypt/encryptedfile.h"
#include "platform/strings.h"

namespace {

constexpr size_t kBufferSize = 1 << 20;
size_t g_fileMiB = 256;

const std::vector<uint8_t>& Data() {
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> d(kBufferSize);
        uint32_t x = 12345;
        for (auto& b : d) {
            x = x * 1103515245u + 12345u;
            b = static_cast<uint8_t>(x >> 16);
        }
        return d;
    }();
    return data;
}

const uint8_t kKey[32] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                          17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};

// ---- AES-256 ECB ----

void AesPellux(benchmark::State& state, bool portable) {
    SetPortableCryptoForced(portable);
    CAes aes;
    aes.SetKey(kKey, 32);
    std::vector<uint8_t> out(kBufferSize);
    for (auto _ : state) {
        aes.EncryptBlocks(Data().data(), out.data(), kBufferSize / 16);
        benchmark::DoNotOptimize(out.data());
    }
    SetPortableCryptoForced(false);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferSize));
}

void BM_Aes256Ecb_Pellux(benchmark::State& state) {
    AesPellux(state, false);
}
void BM_Aes256Ecb_PelluxPortable(benchmark::State& state) {
    AesPellux(state, true);
}

void BM_Aes256Ecb_OpenSSL(benchmark::State& state) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, EVP_aes_256_ecb(), nullptr, kKey, nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    std::vector<uint8_t> out(kBufferSize + 32);
    for (auto _ : state) {
        int n = 0;
        EVP_EncryptUpdate(ctx, out.data(), &n, Data().data(), static_cast<int>(kBufferSize));
        benchmark::DoNotOptimize(out.data());
    }
    EVP_CIPHER_CTX_free(ctx);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferSize));
}

// ---- MD5 ----

void BM_Md5_Pellux(benchmark::State& state) {
    MD5_Str md5;
    uint8_t digest[16];
    for (auto _ : state) {
        md5.Update(Data().data(), kBufferSize);
        md5.Final(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferSize));
}

void OpenSslDigest(benchmark::State& state, const EVP_MD* type) {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    unsigned char digest[EVP_MAX_MD_SIZE];
    for (auto _ : state) {
        unsigned int n = 0;
        EVP_DigestInit_ex(ctx, type, nullptr);
        EVP_DigestUpdate(ctx, Data().data(), kBufferSize);
        EVP_DigestFinal_ex(ctx, digest, &n);
        benchmark::DoNotOptimize(digest);
    }
    EVP_MD_CTX_free(ctx);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferSize));
}

void BM_Md5_OpenSSL(benchmark::State& state) {
    OpenSslDigest(state, EVP_md5());
}

// ---- SHA-1 ----

void Sha1Pellux(benchmark::State& state, bool portable) {
    SetPortableCryptoForced(portable);
    uint32_t words[5];
    for (auto _ : state) {
        Sha1Context context;
        Sha1Init(&context);
        Sha1Update(Data().data(), kBufferSize, &context);
        Sha1Final(&context, words);
        benchmark::DoNotOptimize(words);
    }
    SetPortableCryptoForced(false);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferSize));
}

void BM_Sha1_Pellux(benchmark::State& state) {
    Sha1Pellux(state, false);
}
void BM_Sha1_PelluxPortable(benchmark::State& state) {
    Sha1Pellux(state, true);
}
void BM_Sha1_OpenSSL(benchmark::State& state) {
    OpenSslDigest(state, EVP_sha1());
}

// ---- The encrypted-file codec on a large file ----

struct LargeFiles {
    std::string folder;
    std::string plain;
    std::string encrypted;
    std::string output;
    std::vector<uint8_t> ciphertext;  // the encrypted file's body, for the floor
};

LargeFiles& Files() {
    static LargeFiles files = [] {
        LargeFiles f;
        const char* base = std::getenv("PELLUX_BENCH_DIR");
        std::string pattern = std::string(base ? base : "/tmp") + "/pellux-bench-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        f.folder = pattern;
        f.plain = f.folder + "/plain.bin";
        f.encrypted = f.folder + "/plain.enc";
        f.output = f.folder + "/out.bin";
        std::ofstream out(f.plain, std::ios::binary);
        // Slightly off a 64 KB multiple so the last chunk is partial.
        for (size_t i = 0; i < g_fileMiB; ++i)
            out.write(reinterpret_cast<const char*>(Data().data()), kBufferSize);
        out.write(reinterpret_cast<const char*>(Data().data()), 12345);
        out.close();
        if (!EncryptFileWithHeader(kKey, 32, Utf8ToWide(f.plain), Utf8ToWide(f.encrypted))) {
            std::fprintf(stderr, "could not encode %s\n", f.plain.c_str());
            std::exit(1);
        }
        std::ifstream in(f.encrypted, std::ios::binary);
        in.seekg(47);
        f.ciphertext.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return f;
    }();
    return files;
}

int64_t CipherBytes() {
    return static_cast<int64_t>(Files().ciphertext.size());
}

void BM_File_Encode(benchmark::State& state) {
    const std::wstring source = Utf8ToWide(Files().plain), destination = Utf8ToWide(Files().output);
    for (auto _ : state) {
        if (!EncryptFileWithHeader(kKey, 32, source, destination))
            state.SkipWithError("encode failed");
        // Dropping the previous output is the file system's cost, not the codec's.
        state.PauseTiming();
        std::remove(Files().output.c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * CipherBytes());
}

void BM_File_Decode(benchmark::State& state) {
    const std::wstring source = Utf8ToWide(Files().encrypted), destination = Utf8ToWide(Files().output);
    for (auto _ : state) {
        if (!DecryptFileWithHeader(kKey, 32, source, destination))
            state.SkipWithError("decode failed");
        // Dropping the previous output is the file system's cost, not the codec's.
        state.PauseTiming();
        std::remove(Files().output.c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * CipherBytes());
}

// MD5 of the ciphertext held in memory: what no encode or decode can beat.
void BM_File_Md5Floor(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = Files().ciphertext;
    MD5_Str md5;
    uint8_t digest[16];
    for (auto _ : state) {
        md5.Update(bytes.data(), bytes.size());
        md5.Final(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * CipherBytes());
}

BENCHMARK(BM_Aes256Ecb_Pellux);
BENCHMARK(BM_Aes256Ecb_PelluxPortable);
BENCHMARK(BM_Aes256Ecb_OpenSSL);
BENCHMARK(BM_Md5_Pellux);
BENCHMARK(BM_Md5_OpenSSL);
BENCHMARK(BM_Sha1_Pellux);
BENCHMARK(BM_Sha1_PelluxPortable);
BENCHMARK(BM_Sha1_OpenSSL);
BENCHMARK(BM_File_Md5Floor)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();
BENCHMARK(BM_File_Encode)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();
BENCHMARK(BM_File_Decode)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();

// Keeps every run's throughput for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            auto it = run.counters.find("bytes_per_second");
            if (it == run.counters.end())
                continue;
            // "BM_File_Encode/iterations:4" is filed as "BM_File_Encode".
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find('/'));
            rates[name] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

void PrintRatio(const RatioReporter& reporter, const char* what, const char* ours, const char* theirs,
                double target) {
    auto a = reporter.rates.find(ours);
    auto b = reporter.rates.find(theirs);
    if (a == reporter.rates.end() || b == reporter.rates.end() || b->second <= 0) {
        std::printf("%-34s (not measured)\n", what);
        return;
    }
    const double ratio = a->second / b->second;
    std::printf("%-34s %8.1f MB/s vs %8.1f MB/s  ratio %.2fx", what, a->second / 1e6, b->second / 1e6, ratio);
    if (target > 0)
        std::printf("  target >= %.1fx  %s", target, ratio >= target ? "ok" : "BELOW TARGET");
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--file-mib=", 11) == 0) {
            g_fileMiB = std::strtoul(argv[i] + 11, nullptr, 10);
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    std::printf("AES-NI: %s, SHA extensions: %s, large file: %zu MiB\n", CpuHasAesNi() ? "yes" : "no",
                CpuHasShaNi() ? "yes" : "no", g_fileMiB);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nRatios (ours / reference):\n");
    PrintRatio(reporter, "AES-256 ECB vs OpenSSL", "BM_Aes256Ecb_Pellux", "BM_Aes256Ecb_OpenSSL", 0.5);
    PrintRatio(reporter, "SHA-1 vs OpenSSL", "BM_Sha1_Pellux", "BM_Sha1_OpenSSL", 0.8);
    PrintRatio(reporter, "MD5 vs OpenSSL", "BM_Md5_Pellux", "BM_Md5_OpenSSL", 0.9);
    PrintRatio(reporter, "Encode vs MD5 of the same bytes", "BM_File_Encode", "BM_File_Md5Floor", 0.6);
    PrintRatio(reporter, "Decode vs MD5 of the same bytes", "BM_File_Decode", "BM_File_Md5Floor", 0.6);
    PrintRatio(reporter, "(portable AES vs OpenSSL)", "BM_Aes256Ecb_PelluxPortable", "BM_Aes256Ecb_OpenSSL",
               0.0);
    PrintRatio(reporter, "(portable SHA-1 vs OpenSSL)", "BM_Sha1_PelluxPortable", "BM_Sha1_OpenSSL", 0.0);

    LargeFiles& files = Files();
    std::remove(files.plain.c_str());
    std::remove(files.encrypted.c_str());
    std::remove(files.output.c_str());
    rmdir(files.folder.c_str());
    benchmark::Shutdown();
    return 0;
}
