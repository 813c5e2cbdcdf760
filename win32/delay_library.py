#!/usr/bin/env python3
"""Makes the import library through which a program binds one system DLL on
first call (see system_imports.cpp). Every function the allow-list names for
that DLL becomes one archive member, so that a program takes only those it
calls: its import pointer (the name the system headers' declarations
reference), a thunk that binds it, and its entries in the image's delay-load
tables (address table, name table, names), which the build later enters as
the delay-load import directory. A function the allow-list does not name
cannot be linked this way at all.

The linker drops the thunks of ordinary delay-load import libraries when
only the import pointer is referenced; these members are plain objects, so
every section a referenced pointer needs is kept, also with section garbage
collection: pointer -> thunk -> name-table entry -> name.

delay_library.py AS AR NM IMPORT_LIBRARY ALLOW_LIST DLL_NAME OUTPUT"""
import os
import re
import shutil
import subprocess
import sys


def decorated_names(nm, library):
    """Function name -> its import symbol without "__imp_" (stdcall keeps
    its argument size: "_MessageBoxA@16")."""
    listing = subprocess.run([nm, library], check=True, capture_output=True, text=True).stdout
    names = {}
    for line in listing.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[1] == "I" and parts[2].startswith("__imp__"):
            symbol = parts[2][len("__imp_"):]
            names[symbol[1:].split("@", 1)[0]] = symbol
    return names


def allowed_functions(path, dll):
    functions = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.lstrip().startswith("#") or not line.strip():
                continue
            name = line.split()[0]
            library, function = name.split("!", 1)
            if library.upper() == dll.upper():
                functions.append(function)
    return functions


def head(tag, dll):
    return f"""
    .section .rdata$dlyd_b,"dr"
    .p2align 2
__dly_{tag}_descriptor:
    .long 1
    .rva __dly_{tag}_name, __dly_{tag}_module, __dly_{tag}_iat, __dly_{tag}_int
    .long 0, 0, 0
    .section .rdata$dly_{tag}_s,"dr"
__dly_{tag}_name:
    .asciz "{dll}"
    .section .data$dly_{tag}_h,"w"
    .p2align 2
__dly_{tag}_module:
    .long 0
    .section .data$dly_{tag}_a,"w"
    .p2align 2
__dly_{tag}_iat:
    .section .rdata$dly_{tag}_a,"dr"
    .p2align 2
__dly_{tag}_int:
    .section .text$dly_{tag},"xr"
    .globl __dly_{tag}_bind
__dly_{tag}_bind:
    pushl %ecx
    pushl %edx
    pushl %eax
    pushl $__dly_{tag}_descriptor
    call _twBindDelayImport@8
    popl %edx
    popl %ecx
    jmp *%eax
    # Never executed: ties the tables' ends to the code that uses them.
    .long __dly_{tag}_iat_end, __dly_{tag}_int_end
"""


def tail(tag):
    return f"""
    .section .data$dly_{tag}_c,"w"
    .p2align 2
    .globl __dly_{tag}_iat_end
__dly_{tag}_iat_end:
    .long 0
    .section .rdata$dly_{tag}_c,"dr"
    .p2align 2
    .globl __dly_{tag}_int_end
__dly_{tag}_int_end:
    .long 0
"""


def member(tag, function, symbol):
    return f"""
    .section .data$dly_{tag}_b,"w"
    .p2align 2
    .globl __imp_{symbol}
__imp_{symbol}:
    .long thunk
    .section .rdata$dly_{tag}_b,"dr"
    .p2align 2
entry:
    .rva name
    .section .rdata$dly_{tag}_n,"dr"
    .p2align 1
name:
    .short 0
    .asciz "{function}"
    .section .text$dly_{tag}_t_{function},"xr"
thunk:
    movl $entry, %eax
    jmp __dly_{tag}_bind
    .section .text$dly_{tag}_j_{function},"xr"
    .globl {symbol}
{symbol}:
    jmp *__imp_{symbol}
"""


def main():
    assembler, archiver, nm, library, allow_list, dll, output = sys.argv[1:8]
    tag = re.sub(r"\W", "_", os.path.splitext(dll)[0].upper())
    symbols = decorated_names(nm, library)
    functions = allowed_functions(allow_list, dll)
    work = output + ".d"
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    sources = {"head": head(tag, dll), "tail": tail(tag)}
    for function in functions:
        if function not in symbols:
            sys.exit("%s: %s is not exported by %s" % (allow_list, function, library))
        sources["f_" + function] = member(tag, function, symbols[function])
    objects = []
    for name, text in sources.items():
        source = os.path.join(work, name + ".s")
        with open(source, "w") as f:
            f.write(text)
        objects.append(os.path.join(work, name + ".o"))
        subprocess.run([assembler, "-o", objects[-1], source], check=True)
    if os.path.exists(output):
        os.remove(output)
    subprocess.run([archiver, "rcs", output] + objects, check=True)


if __name__ == "__main__":
    main()
