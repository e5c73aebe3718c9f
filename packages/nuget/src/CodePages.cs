// The records' encoding: the machine's ANSI code page, decoded as Windows
// decodes it.
using System;
using System.Reflection;
using System.Runtime.InteropServices;
using System.Text;
using Microsoft.Win32;

namespace ContactExporter
{
    internal static class CodePages
    {
        private const int WesternEuropean = 1252;
        private static readonly object Registration = new object();
        private static bool registered;

        /// <summary>
        /// .NET Core and .NET 5 or later know only Unicode and a few other encodings until the
        /// code pages' provider is registered; .NET Framework and Mono know them all. Through
        /// reflection, so that this file compiles where the provider does not exist.
        /// </summary>
        public static void Register()
        {
            lock (Registration)
            {
                if (registered) return;
                registered = true;
                Type provider = Type.GetType("System.Text.CodePagesEncodingProvider, System.Text.Encoding.CodePages");
                MethodInfo register = typeof(Encoding).GetMethod("RegisterProvider");
                if (provider == null || register == null) return;
                object instance = provider.GetProperty("Instance").GetValue(null, null);
                register.Invoke(null, new[] { instance });
            }
        }

        /// <summary>
        /// The code page the exporter writes in: the system's ANSI code page on Windows, whatever
        /// this program's own manifest says (one that sets UTF-8 makes GetACP() answer 65001 in
        /// this process alone); elsewhere (the exporter runs under Wine) cp1252.
        /// </summary>
        public static int MachineAnsi()
        {
            if (Environment.OSVersion.Platform != PlatformID.Win32NT) return WesternEuropean;
            try
            {
                using (RegistryKey key = Registry.LocalMachine.OpenSubKey(@"SYSTEM\CurrentControlSet\Control\Nls\CodePage"))
                {
                    int codePage;
                    object value = key == null ? null : key.GetValue("ACP");
                    if (value != null && int.TryParse(value.ToString(), out codePage) && codePage > 0) return codePage;
                }
            }
            catch (System.Security.SecurityException)
            {
            }
            catch (UnauthorizedAccessException)
            {
            }
            return GetACP();
        }

        /// <summary>
        /// The code page's encoding, decoding bytes it leaves undefined as Windows'
        /// MultiByteToWideChar does, each to the character of the same value (0x81 to U+0081);
        /// null when this framework has no encoding for the code page.
        /// </summary>
        public static Encoding ForRecords(int codePage)
        {
            Register();
            try
            {
                return Encoding.GetEncoding(codePage, EncoderFallback.ExceptionFallback, new SameValueFallback());
            }
            catch (ArgumentException)
            {
                return null;
            }
            catch (NotSupportedException)
            {
                return null;
            }
        }

        [DllImport("kernel32.dll")]
        private static extern int GetACP();
    }

    /// <summary>Decodes each byte a code page leaves undefined to the character of the same value.</summary>
    internal sealed class SameValueFallback : DecoderFallback
    {
        public override int MaxCharCount { get { return 2; } }

        public override DecoderFallbackBuffer CreateFallbackBuffer()
        {
            return new Buffer();
        }

        private sealed class Buffer : DecoderFallbackBuffer
        {
            private byte[] bytes = new byte[0];
            private int next;

            public override int Remaining { get { return bytes.Length - next; } }

            public override bool Fallback(byte[] bytesUnknown, int index)
            {
                bytes = bytesUnknown;
                next = 0;
                return bytes.Length > 0;
            }

            public override char GetNextChar()
            {
                return next < bytes.Length ? (char)bytes[next++] : '\0';
            }

            public override bool MovePrevious()
            {
                if (next == 0) return false;
                next--;
                return true;
            }

            public override void Reset()
            {
                bytes = new byte[0];
                next = 0;
            }
        }
    }
}
