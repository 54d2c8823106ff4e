"""Small INF files, one or more per rule of the INF syntax that SetupAPI reads, as bytes.
Texts are in code page 932 unless a file is about another encoding; lines end in CRLF."""

HEAD = ('[Version]\nSignature="$Windows NT$"\nClass=Ports\nProvider=%Mfg%\n'
        'DriverVer=01/02/2006,1.0.0.1\n')
MODELS = ('[Manufacturer]\n%Mfg%=Models,NTx86\n'
          '[Models]\n%Dev%=Install,USB\\VID_FFFF&PID_0001\n'
          '[Models.NTx86]\n%Dev%=Install,USB\\VID_FFFF&PID_0001&MI_00,USB\\VID_FFFF&PID_0001\n')
STRINGS = '[Strings]\nMfg="Halvenor"\nDev="K440 \u30cf\u30f3\u30c9\u30bb\u30c3\u30c8"\n'
PLAIN = HEAD + MODELS + STRINGS


def ansi(text):
    return text.replace("\n", "\r\n").encode("cp932")


def fixtures():
    """name -> bytes of every INF file of the comparison."""
    files = {
        "plain.inf": ansi(PLAIN),
        "utf16_bom.inf": b"\xff\xfe" + PLAIN.replace("\n", "\r\n").encode("utf-16-le"),
        "utf16_nobom.inf": PLAIN.replace("\n", "\r\n").encode("utf-16-le"),
        "utf8_bom.inf": b"\xef\xbb\xbf" + PLAIN.replace("\n", "\r\n").encode("utf-8"),
        "continuation.inf": ansi(
            HEAD + '[Manufacturer]\n%Mfg%=Models,\\\n    NTx86\n'
            '[Models]\n%Dev%=Install,\\ ; the hardware id follows\n   USB\\VID_FFFF&PID_0001\n'
            'Joined=x\\ \n  y\nPath=c:\\dir\\x\\\nDouble=a\\\\\nb\n'
            'Key\\\nName=1\nQuoted="a\\"\\\n,b\n' + STRINGS + 'End=\\'),
        "blank_brackets.inf": ansi(
            HEAD + '[Manufacturer]\n%Mfg%=Models\nOther=" Models "\n'
            '[ Models ]\n%Dev%=Install,USB\\VID_FFFF&PID_0001\n' + STRINGS),
        "unterminated_header.inf": ansi(PLAIN + '[Install\nCopyFiles=x\n'),
        "section_name_256.inf": ansi(PLAIN + '[' + 'n' * 256 + ']\n'),
        "section_name_255.inf": ansi(
            HEAD + '[Manufacturer]\n%Mfg%=' + 'n' * 255 + '\n[' + 'n' * 255 + ']\nA=1\n' + STRINGS),
        "ctrl_z.inf": ansi(HEAD + MODELS + '[Strings]\nMfg="Halvenor"\n\x1a\nDev="after Ctrl-Z"\n'),
        "text_before_section.inf": ansi('junk\n' + HEAD + MODELS),
        "text_before_section_strings.inf": ansi('junk line; not a comment\n' + PLAIN),
        "long_field.inf": ansi(
            HEAD + MODELS.replace('Install', 'I' * 600) + STRINGS + 'K' * 600 + '=1\n'
            'Long="' + 'q' * 600 + '"\nTwice=%Half%%Half%\nHalf=' + 'h' * 400 + '\n'),
        "signature_95.inf": ansi(PLAIN.replace('$Windows NT$', '$Windows 95$')),
        "signature_chicago.inf": ansi(PLAIN.replace('Signature="$Windows NT$"', 'signature=$CHICAGO$')),
        "signature_key.inf": ansi(PLAIN.replace('"$Windows NT$"', '%Sig%') + 'Sig="$Windows NT$"\n'),
        "signature_other.inf": ansi(PLAIN.replace('$Windows NT$', '$Windows 2000$')),
        "nul_late.inf": ansi(';' + '-' * 600 + '\n' + HEAD + MODELS + STRINGS).replace(
            b'Halvenor', b'Hal\0venor\0'),
        "nul_early.inf": ansi(PLAIN).replace(b'Ports', b'Po\0ts'),
        "nul_early_odd.inf": ansi(PLAIN + 'x').replace(b'Ports', b'Po\0ts'),
        "dirids.inf": ansi(
            HEAD + MODELS + STRINGS + 'Win=%10%\nSys=%11%\nDrv=%12%\\k440.sys\nInf=%17%\n'
            'Boot=%24%\nHere=%1%\nHereFile=%1%\\k440.inf\nCopy=%11%,%10%\\\n'),
        "case_pairs.inf": ansi(
            HEAD + '[Manufacturer]\n%Mfg%=\uff4d\uff4f\uff44\uff45\uff4c\uff53,\u03b1\n'
            '[\uff2d\uff2f\uff24\uff25\uff2c\uff33]\n%Dev%=Install,USB\\VID_FFFF&PID_0001\n'
            '[\uff2d\uff2f\uff24\uff25\uff2c\uff33.\u0391]\nGreek=1\n'
            '[Strings]\nMFG="Halvenor"\nDev="\u0416"\n\u0436=lower key\n'),
        "blanks.inf": ansi(
            HEAD + MODELS + STRINGS + 'Ideographic=\u3000a\u3000b\u3000\n'
            'Tabs=\ta\tb\t\nControls=\x0ba\x0cb\x0b\nSeparators=\x1ca\x1fb\x1e\n'),
        "quotes.inf": ansi(
            HEAD + MODELS + STRINGS + 'Unclosed="abc\nEscaped="say ""hi"""\n'
            '"Quoted Key"=1\nMixed=a"b,c"d\nEmpty=,,\nTrailing=a,\nKey,Comma=x\n, =y\n'
            'Lone\nA=b=c\n'),
        "percent.inf": ansi(
            HEAD + MODELS + STRINGS + 'Pct=100%%\nOpen=50%\nUnknown=%none%\nTwo=%Mfg%%Dev%\n'
            'Inner=%Ref%\nRef=%Mfg%\nEmptyKey=%Blank%\nBlank=\n%Mfg%=key substituted\n'),
        "lead_byte_at_line_end.inf": ansi(PLAIN) + b'Cut=ab\x82\r\nNext=1\r\nTrail=\x82\x0a\r\n',
        "outside_code_page.inf": b"\xff\xfe" + (PLAIN + 'Euro=\u20ac\nFace=\U0001F600\n').replace(
            "\n", "\r\n").encode("utf-16-le"),
    }
    return files


def fixtures_1252():
    """name -> bytes of the INF files compared on a machine of code page 1252."""
    text = (HEAD + '[Manufacturer]\n%Mfg%=\u00e9t\u00e9,NTx86\nOther=\u00c9t\u00e9\n'
            '[\u00c9t\u00e9]\nA=1\n[\u00e9t\u00e9.NTx86]\nB=2\n'
            '[Strings]\nMfg="Halvenor"\nNbsp=a\u00a0b\u00a0\nAcute=caf\u00e9\n')
    wide = text + 'Euro=\u20ac\nJapanese=\u65e5\n'
    return {
        "western.inf": text.replace("\n", "\r\n").encode("cp1252"),
        "western_utf16.inf": b"\xff\xfe" + wide.replace("\n", "\r\n").encode("utf-16-le"),
    }

