// The export as the exporter writes it: records, then the trailer line.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.Reflection;
using System.Runtime.Serialization;
using System.Runtime.Serialization.Json;
using System.Text;
using System.Text.RegularExpressions;
using System.Xml;

namespace ContactExporter
{
    /// <summary>
    /// Reads the export from the exporter's standard output: lines split at the bytes CR LF, each
    /// decoded (in the code page, or as UTF-8) and parsed as a JSON object, then the trailer line
    /// "contatti trovati: N / M". Records are yielded as they arrive.
    /// </summary>
    internal sealed class ExportReader
    {
        private static readonly Regex TrailerLine =
            new Regex(@"\Acontatti trovati: ([0-9]{1,18}) / ([0-9]{1,18})\z", RegexOptions.CultureInvariant);

        private readonly Stream output;
        private readonly Encoding encoding;
        private readonly DataContractJsonSerializer serializer = new DataContractJsonSerializer(typeof(Contact));
        private bool emptyLineSeen;
        private bool trailerSeen;

        public ExportReader(Stream output, Encoding encoding)
        {
            this.output = output;
            this.encoding = encoding;
        }

        public int RecordsRead { get; private set; }
        public long Written { get; private set; }
        public long Items { get; private set; }
        /// <summary>Once the records are read: null, or why the output is not a whole export.</summary>
        public string Problem { get; private set; }

        /// <summary>The records, as they arrive. Where the output stops being an export, they end and <see cref="Problem"/> says why.</summary>
        public IEnumerable<Contact> Records()
        {
            foreach (ArraySegment<byte> line in ByteLines.Read(output))
            {
                Contact contact = Take(line);
                if (Problem != null) break;
                if (contact == null) continue;
                RecordsRead++;
                yield return contact;
            }
            if (Problem == null) Problem = TrailerProblem();
            if (Problem != null) output.CopyTo(Stream.Null); // what is left, so that it is not held in memory
        }

        /// <returns>The line's record; null for the trailer and the empty line, or when the output is not an export.</returns>
        private Contact Take(ArraySegment<byte> raw)
        {
            try
            {
                return TakeLine(raw);
            }
            catch (IncompleteExportException error)
            {
                Problem = error.Message;
                return null;
            }
        }

        private Contact TakeLine(ArraySegment<byte> raw)
        {
            int number = RecordsRead + 1;
            if (trailerSeen) throw new IncompleteExportException("text after the trailer line");
            if (!ByteLines.EndsWith(raw, "\n"))
            {
                throw new IncompleteExportException("the output stops inside a record: no trailer line");
            }
            if (!ByteLines.EndsWith(raw, "\r\n"))
            {
                throw new IncompleteExportException("line {0} does not end in CR LF", number);
            }

            string line = Decoded(raw, number);
            Match trailer = TrailerLine.Match(line);
            if (trailer.Success)
            {
                trailerSeen = true;
                Written = long.Parse(trailer.Groups[1].Value, CultureInfo.InvariantCulture);
                Items = long.Parse(trailer.Groups[2].Value, CultureInfo.InvariantCulture);
                return null;
            }
            if (emptyLineSeen) throw new IncompleteExportException("the empty line is not followed by the trailer line");
            if (line.Length == 0 && RecordsRead == 0)
            {
                emptyLineSeen = true; // no record: the trailer follows an empty line
                return null;
            }
            return Parse(line, number);
        }

        /// <summary>The line without its CR LF, decoded; UTF-8 fails where the line is not UTF-8.</summary>
        private string Decoded(ArraySegment<byte> raw, int number)
        {
            try
            {
                return encoding.GetString(raw.Array, raw.Offset, raw.Count - 2);
            }
            catch (DecoderFallbackException)
            {
                throw new IncompleteExportException("line {0} is not UTF-8", number);
            }
        }

        private Contact Parse(string line, int number)
        {
            Contact contact;
            try
            {
                contact = Deserialize(line);
            }
            catch (SerializationException error)
            {
                throw NotJson(number, error);
            }
            catch (XmlException error)
            {
                throw NotJson(number, error);
            }
            catch (TargetInvocationException error)
            {
                // Mono's serializer passes some of the reader's errors on wrapped in this.
                Exception cause = error.InnerException;
                if (!(cause is XmlException || cause is SerializationException || cause is FormatException)) throw;
                throw NotJson(number, cause);
            }
            if (contact == null) throw new IncompleteExportException("record {0} is not a JSON object", number);
            return contact;
        }

        /// <returns>The record, or null when the JSON value is not an object.</returns>
        private Contact Deserialize(string line)
        {
            byte[] json = Encoding.UTF8.GetBytes(line);
            using (XmlDictionaryReader reader = JsonReaderWriterFactory.CreateJsonReader(json, XmlDictionaryReaderQuotas.Max))
            {
                // The JSON reader maps the value to XML: the root element's
                // "type" attribute tells an object from an array, a string,
                // a number or null.
                reader.MoveToContent();
                if (reader.GetAttribute("type") != "object") return null;
                var contact = (Contact)serializer.ReadObject(reader);
                if (reader.Read()) throw new XmlException("text after the JSON object");
                return contact;
            }
        }

        private static IncompleteExportException NotJson(int number, Exception error)
        {
            while (error.InnerException != null) error = error.InnerException;
            return new IncompleteExportException("record {0} is not JSON: {1}", number, error.Message);
        }

        private string TrailerProblem()
        {
            if (!trailerSeen) return "no trailer line: an Outlook error stopped the walk";
            if (Written != RecordsRead)
            {
                return string.Format(CultureInfo.InvariantCulture, "the trailer counts {0} records, the output holds {1}",
                                     Written, RecordsRead);
            }
            if (Written > Items)
            {
                return string.Format(CultureInfo.InvariantCulture, "the trailer counts {0} records of {1} items",
                                     Written, Items);
            }
            return null;
        }
    }

    /// <summary>The output is not a whole export.</summary>
    internal sealed class IncompleteExportException : Exception
    {
        public IncompleteExportException(string format, params object[] values)
            : base(string.Format(CultureInfo.InvariantCulture, format, values))
        {
        }
    }

    /// <summary>Lines of a byte stream, each with its LF; the last may lack one.</summary>
    internal static class ByteLines
    {
        /// <summary>
        /// The segments share one buffer: each is valid until the next is asked for.
        /// </summary>
        public static IEnumerable<ArraySegment<byte>> Read(Stream stream)
        {
            using (var line = new MemoryStream())
            {
                var buffer = new byte[64 * 1024];
                int count;
                while ((count = stream.Read(buffer, 0, buffer.Length)) > 0)
                {
                    int start = 0;
                    int end;
                    while ((end = Array.IndexOf(buffer, (byte)'\n', start, count - start)) >= 0)
                    {
                        line.Write(buffer, start, end + 1 - start);
                        yield return new ArraySegment<byte>(line.GetBuffer(), 0, (int)line.Length);
                        line.SetLength(0);
                        start = end + 1;
                    }
                    line.Write(buffer, start, count - start);
                }
                if (line.Length > 0) yield return new ArraySegment<byte>(line.GetBuffer(), 0, (int)line.Length);
            }
        }

        /// <summary>Whether the bytes end in the given ASCII text.</summary>
        public static bool EndsWith(ArraySegment<byte> bytes, string ending)
        {
            if (bytes.Count < ending.Length) return false;
            int start = bytes.Offset + bytes.Count - ending.Length;
            for (int at = 0; at < ending.Length; at++)
            {
                if (bytes.Array[start + at] != ending[at]) return false;
            }
            return true;
        }
    }
}
